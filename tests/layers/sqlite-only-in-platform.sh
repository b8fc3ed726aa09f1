#!/usr/bin/env bash
# Fails, naming each place, when a source file under <root>/src outside src/platform includes
# SQLite's header or calls its C API. Usage: sqlite-only-in-platform.sh <root>
set -u
root=${1:?usage: sqlite-only-in-platform.sh <root>}
cd "$root" || exit 2
found=$(grep -rnE '#include[[:space:]]*<sqlite3\.h>|\bsqlite3_[a-z0-9_]+[[:space:]]*\(' \
            --include='*.cpp' --include='*.h' src | grep -v '^src/platform/')
if [ -n "$found" ]; then
    echo "SQLite's C API outside src/platform:"
    echo "$found"
    exit 1
fi
echo "SQLite's C API is called only in src/platform"
