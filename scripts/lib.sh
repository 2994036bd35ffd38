# Shared by scripts/test and scripts/run.
# shellcheck shell=bash

repo_root() { cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd; }

# Installs, with apt-get, every package named in the given lists that is not
# installed yet. Lists hold one Debian package name a line; # starts a comment.
install_packages() {
    local wanted=() pkg file
    for file in "$@"; do
        while read -r pkg; do
            pkg=${pkg%%#*}; pkg=${pkg// /}
            [ -n "$pkg" ] || continue
            dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || wanted+=("$pkg")
        done < "$file"
    done
    [ ${#wanted[@]} -eq 0 ] && return 0
    echo "Installing: ${wanted[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${wanted[@]}"
}
