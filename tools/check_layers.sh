#!/usr/bin/env bash
# The build keeps the layers apart (each library sees only its own folder and those below it). What it cannot
# see is the rule inside the window's layer: a region includes another region only where it is built from it.
# Prints each include that breaks it; exits non-zero if there is one.
set -euo pipefail
cd "$(dirname "$0")/../src/gui"

# Regions of the window and the objects that drive them.
components="stations/CodeSearchPanel.h stations/StationBrowser.h help/HelpPanel.h reports/ReportPanel.h
favourites/FavouritesBar.h favourites/StationTip.h reports/ReportRequester.h reports/RefreshTimer.h
reports/BriefingCommands.h stations/NearbyStationsList.h dossier/DossierDialog.h dossier/DossierPreview.h"
# Components plainly built from another one: "includer included".
built_from="reports/ReportPanel.cpp favourites/FavouritesBar.h
reports/ReportPanel.cpp favourites/StationTip.h
reports/ReportPanel.cpp stations/NearbyStationsList.h"

status=0
for header in $components; do
    for file in ${header%.h}.h ${header%.h}.cpp; do
        [ -f "$file" ] || continue
        while read -r included; do
            if [ "${included%.*}" != "${file%.*}" ] && grep -qwF "$included" <<<"$components" \
                && ! grep -qxF "$file $included" <<<"$built_from"; then
                echo "src/gui/$file: includes the component $included"
                status=1
            fi
        done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
    done
done
exit $status
