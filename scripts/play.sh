#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup-debian.sh"
"$here/scripts/build.sh" "$here/build/release"
if [ -x "$here/build/release/game/trovaly" ]; then
  exec "$here/build/release/game/trovaly" "$@"
fi
echo "Built everything under build/release; the game trovaly does not exist yet."
