#!/usr/bin/env bash
# Regenerates the translation source from the code: lupdate reads every source,
# header and form of the plug-in, the host stand-in and the dashboard, keeps the
# translations already made and marks keys no longer used as obsolete. Fill in
# new keys (empty translations) in the .ts file, then commit both.
set -euo pipefail
cd "$(dirname "$0")/.."

lupdate=$(command -v lupdate || echo /usr/lib/qt5/bin/lupdate)
folders=(host protocol common savepic history settings cameratree cards playwindow alarmview plugin sim dashboard)
"$lupdate" -silent -locations none -I . -I host -extensions cpp,h,ui "${folders[@]}" -ts dashboard/translations/linkage_en.ts
