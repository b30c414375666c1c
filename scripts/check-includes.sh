#!/usr/bin/env bash
# Fails when a file of a library folder includes a header of a folder above
# its own. The folders form layers, each built only on those before it in
# LAYERS; a file may include its own folder and the folders below it. A
# subfolder counts as its top folder (engine/openType/ is engine). Headers
# that belong to no layer (the standard library, Expat, generated units) are
# not checked.
#
# Usage: scripts/check-includes.sh [source root]   (default: this script's ..)
set -euo pipefail

LAYERS=(runtime xer objects sax engine tool)

root=${1:-"$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"}
cd "$root"

declare -A rank=()      # layer -> position in LAYERS
declare -A headerAt=()  # header path within its layer, and its file name -> layer
for i in "${!LAYERS[@]}"; do rank[${LAYERS[$i]}]=$i; done

status=0
for layer in "${LAYERS[@]}"; do
   [[ -d $layer ]] || { echo "check-includes: no folder $layer/ under $root" >&2; exit 2; }
   while IFS= read -r header; do
      for key in "${header#"$layer"/}" "${header##*/}"; do
         if [[ -n ${headerAt[$key]:-} && ${headerAt[$key]} != "$layer" ]]; then
            echo "$header: header name \"$key\" also in ${headerAt[$key]}/," \
               "so an include of it is ambiguous"
            status=1
         fi
         headerAt[$key]=$layer
      done
   done < <(find "$layer" -name '*.h' | sort)
done

for layer in "${LAYERS[@]}"; do
   while IFS= read -r file; do
      lineNo=0
      while IFS= read -r line; do
         lineNo=$((lineNo + 1))
         [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"\<]([^\"\>]+)[\"\>] ]] || continue
         name=${BASH_REMATCH[1]}
         # The including file's own folder is searched first.
         owner=
         if [[ -f ${file%/*}/$name ]]; then
            owner=$layer
            if [[ $name == */* ]]; then
               target=$(realpath -m --relative-to=. "${file%/*}/$name")
               owner=${target%%/*}
            fi
         fi
         [[ -n $owner && -n ${rank[$owner]:-} ]] || owner=${headerAt[$name]:-}
         [[ -n $owner ]] || continue
         if ((rank[$owner] > rank[$layer])); then
            echo "$file:$lineNo: #include \"$name\": $owner/ is above $layer/" \
               "(layers from the bottom: ${LAYERS[*]})"
            status=1
         fi
      done < "$file"
   done < <(find "$layer" \( -name '*.h' -o -name '*.cpp' \) | sort)
done

if ((status == 0)); then
   echo "check-includes: every include looks down (${LAYERS[*]})"
fi
exit $status
