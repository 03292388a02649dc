#pragma once
// The editor's form files and the classes they name, registered once.
void InitEditorResources();
