# qx_stamp_version(target VERSION a.b.c.d
#                  [PRODUCT_VERSION a.b.c.d]   (default: VERSION)
#                  [COMPANY_NAME text] [FILE_DESCRIPTION text] [PRODUCT_NAME text]
#                  [INTERNAL_NAME text]        (default: the target's name)
#                  [ORIGINAL_FILENAME text]    (default: the target's output name)
#                  [LEGAL_COPYRIGHT text] [LEGAL_TRADEMARKS text] [COMMENTS text]
#                  [PRIVATE_BUILD text] [SPECIAL_BUILD text]
#                  [FILE_OS n] [FILE_TYPE n]   (defaults: 0 unknown, 1 application)
#                  [FILE_SUBTYPE n] [LANGUAGE n] [CODE_PAGE n]  (defaults: 0, 0x0409, 1252))
#
# Gives the program its version block: a generated source places an ELF note
# "QXVersion" in the section ".note.qxversion", which the version reader of the
# installer engine reads (layout: installer/engine/cmp_TVersion_Note.h).
# Check a program with `readelf -n`.

# Appends the little-endian bytes of value (width bytes) to the list in var.
function(_qx_note_number var value width)
  set(bytes "${${var}}")
  math(EXPR last "${width} - 1")
  foreach(i RANGE ${last})
    math(EXPR byte "(${value} >> (8 * ${i})) & 255" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND bytes "${byte},")
  endforeach()
  set(${var} "${bytes}" PARENT_SCOPE)
endfunction()

# Appends the UTF-8 bytes of text and a terminating zero; counts them in count_var.
function(_qx_note_text var count_var text)
  string(HEX "${text}" hex)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(LENGTH "${hex}" digits)
  math(EXPR count "${${count_var}} + ${digits} / 2 + 1")
  set(${var} "${${var}}${bytes}0x00," PARENT_SCOPE)
  set(${count_var} ${count} PARENT_SCOPE)
endfunction()

# Splits a.b.c.d into the two 32-bit halves (missing parts are 0).
function(_qx_note_version ms_var ls_var text)
  string(REPLACE "." ";" parts "${text}")
  list(LENGTH parts n)
  if(n LESS 1 OR n GREATER 4)
    message(FATAL_ERROR "qx_stamp_version: bad version \"${text}\"")
  endif()
  foreach(part IN LISTS parts)
    if(NOT part MATCHES "^[0-9]+$" OR part GREATER 65535)
      message(FATAL_ERROR "qx_stamp_version: bad version \"${text}\"")
    endif()
  endforeach()
  while(n LESS 4)
    list(APPEND parts 0)
    math(EXPR n "${n} + 1")
  endwhile()
  list(GET parts 0 a)
  list(GET parts 1 b)
  list(GET parts 2 c)
  list(GET parts 3 d)
  math(EXPR ms "(${a} << 16) | ${b}")
  math(EXPR ls "(${c} << 16) | ${d}")
  set(${ms_var} ${ms} PARENT_SCOPE)
  set(${ls_var} ${ls} PARENT_SCOPE)
  set(${ms_var}_TEXT "${a}.${b}.${c}.${d}" PARENT_SCOPE)
endfunction()

function(qx_stamp_version target)
  set(texts COMPANY_NAME FILE_DESCRIPTION PRODUCT_NAME INTERNAL_NAME ORIGINAL_FILENAME
      LEGAL_COPYRIGHT LEGAL_TRADEMARKS COMMENTS PRIVATE_BUILD SPECIAL_BUILD)
  cmake_parse_arguments(ARG "" "VERSION;PRODUCT_VERSION;FILE_OS;FILE_TYPE;FILE_SUBTYPE;LANGUAGE;CODE_PAGE;${texts}" "" ${ARGN})
  if(NOT ARG_VERSION)
    message(FATAL_ERROR "qx_stamp_version: VERSION is required")
  endif()
  foreach(pair "PRODUCT_VERSION;${ARG_VERSION}" "FILE_OS;0" "FILE_TYPE;1" "FILE_SUBTYPE;0"
               "LANGUAGE;0x0409" "CODE_PAGE;1252" "INTERNAL_NAME;${target}")
    list(GET pair 0 key)
    list(GET pair 1 value)
    if(NOT DEFINED ARG_${key})
      set(ARG_${key} "${value}")
    endif()
  endforeach()
  if(NOT DEFINED ARG_ORIGINAL_FILENAME)
    get_target_property(output ${target} OUTPUT_NAME)
    set(ARG_ORIGINAL_FILENAME "${target}")
    if(output)
      set(ARG_ORIGINAL_FILENAME "${output}")
    endif()
  endif()
  _qx_note_version(FILE_MS FILE_LS "${ARG_VERSION}")
  _qx_note_version(PRODUCT_MS PRODUCT_LS "${ARG_PRODUCT_VERSION}")

  # The string table: entry name, then the argument that gives its text.
  set(entries "")
  set(entries_size 0)
  foreach(pair "Comments;COMMENTS" "CompanyName;COMPANY_NAME" "FileDescription;FILE_DESCRIPTION"
               "FileVersion;" "InternalName;INTERNAL_NAME" "LegalCopyright;LEGAL_COPYRIGHT"
               "LegalTradeMarks;LEGAL_TRADEMARKS" "OriginalFileName;ORIGINAL_FILENAME"
               "PrivateBuild;PRIVATE_BUILD" "ProductName;PRODUCT_NAME" "ProductVersion;"
               "SpecialBuild;SPECIAL_BUILD")
    list(GET pair 0 name)
    list(LENGTH pair n)
    if(name STREQUAL "FileVersion")
      set(text "${FILE_MS_TEXT}")
    elseif(name STREQUAL "ProductVersion")
      set(text "${PRODUCT_MS_TEXT}")
    else()
      list(GET pair 1 key)
      set(text "${ARG_${key}}")
    endif()
    if(NOT text STREQUAL "")
      _qx_note_text(entries entries_size "${name}")
      _qx_note_text(entries entries_size "${text}")
    endif()
  endforeach()
  math(EXPR padding "(4 - ${entries_size} % 4) % 4")
  math(EXPR desc_size "36 + 8 + ${entries_size} + ${padding}")

  set(note "")
  _qx_note_number(note 10 4)             # namesz
  _qx_note_number(note ${desc_size} 4)   # descsz
  _qx_note_number(note 1 4)              # type
  set(name_size 0)
  _qx_note_text(note name_size "QXVersion")
  _qx_note_number(note 0 2)              # name padding to 12 bytes
  foreach(value 1 ${FILE_MS} ${FILE_LS} ${PRODUCT_MS} ${PRODUCT_LS}
                ${ARG_FILE_OS} ${ARG_FILE_TYPE} ${ARG_FILE_SUBTYPE} 1)
    _qx_note_number(note ${value} 4)
  endforeach()
  _qx_note_number(note ${ARG_LANGUAGE} 2)
  _qx_note_number(note ${ARG_CODE_PAGE} 2)
  _qx_note_number(note ${entries_size} 4)
  string(APPEND note "${entries}")
  if(padding GREATER 0)
    _qx_note_number(note 0 ${padding})
  endif()

  set(source "${CMAKE_CURRENT_BINARY_DIR}/${target}_version_note.cpp")
  file(CONFIGURE OUTPUT "${source}" CONTENT
"// Version block of ${target}, generated by qx_stamp_version; do not edit.
// Layout: installer/engine/cmp_TVersion_Note.h.
alignas(4) static const unsigned char kQxVersionNote[]
    __attribute__((used, section(\".note.qxversion\"))) = {
${note}
};
" @ONLY)
  target_sources(${target} PRIVATE "${source}")
  # Sanitizers must not pad or move the note.
  set_source_files_properties("${source}" TARGET_DIRECTORY ${target}
    PROPERTIES COMPILE_OPTIONS "-fno-sanitize=all")
endfunction()
