#!/usr/bin/env bash
# Writes the sample word banks into data/单词表/01示例/ in the program's bank format:
# GBK (code page 936), one entry per line, CR LF after every line, no BOM.
# The sources in tools/banks/ are UTF-8 with LF so they stay easy to edit.
# The word lists are the project's own.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$root/data/单词表/01示例"
mkdir -p "$out"
for source in "$root"/tools/banks/*.txt; do
    name=$(basename "$source")
    sed 's/$/\r/' "$source" | iconv -f UTF-8 -t CP936 > "$out/$name"
done
