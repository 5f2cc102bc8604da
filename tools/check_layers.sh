#!/usr/bin/env bash
# Checks that includes only point down the layers: text engines and station data, then platform services,
# then the window's components, then the program itself (app/). A component includes another component
# only where it is built from it. Prints each include that breaks a rule; exits non-zero if there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

# The sources of each library, as the folders' CMakeLists.txt list them.
sources_of() {
    local target=$1
    for list in */CMakeLists.txt; do
        local folder=${list%/CMakeLists.txt}
        awk -v target="$target" '
            $0 ~ "target_sources\\(" target " " { inside = 1; next }
            inside && /\)/ { inside = 0 }
            inside { for (i = 1; i <= NF; i++) print $i }' "$list" | sed "s#^#$folder/#"
    done
}

engines=$(sources_of ventorix_engines)
platform=$(sources_of ventorix_platform)
app=$(sources_of ventorix_app)
# Regions of the window and the objects that drive them.
components="stations/CodeSearchPanel.h stations/StationBrowser.h help/HelpPanel.h reports/ReportPanel.h
favourites/FavouritesBar.h favourites/StationTip.h reports/ReportRequester.h reports/RefreshTimer.h
reports/BriefingCommands.h"
# Components plainly built from another one: "includer included".
built_from="reports/ReportPanel.cpp favourites/FavouritesBar.h
reports/ReportPanel.cpp favourites/StationTip.h"

layer_of() {
    local file=$1
    if grep -qxF "$file" <<<"$engines"; then echo 1
    elif grep -qxF "$file" <<<"$platform"; then echo 2
    elif [[ $file == app/* ]]; then echo 4
    elif grep -qxF "$file" <<<"$app"; then echo 3
    else echo 0
    fi
}

status=0
complain() {
    echo "$1: $2"
    status=1
}

for file in $engines $platform $app app/main.cpp; do
    [[ $file == *.h || $file == *.cpp ]] || continue
    [ -f "$file" ] || { complain "$file" "listed in a CMakeLists.txt but missing"; continue; }
    own=$(layer_of "$file")
    own_stem=${file%.*}
    while read -r included; do
        [ -f "$included" ] || continue
        theirs=$(layer_of "$included")
        [ "$theirs" = 0 ] && continue
        if [ "$theirs" -gt "$own" ]; then
            complain "$file" "includes $included from a higher layer"
        elif [ "$own" = 3 ] && [ "${included%.*}" != "$own_stem" ] && grep -qwF "$included" <<<"$components" \
            && grep -qwF "$file" <<<"$components $(tr '\n' ' ' <<<"$components" | sed 's/\.h/.cpp/g')" \
            && ! grep -qxF "$file $included" <<<"$built_from"; then
            complain "$file" "includes the component $included"
        fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done
exit $status
