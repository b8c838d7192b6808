#!/usr/bin/env bash
# Takes the screenshots of the user guide (docs/guide.md) from the real program.
#
#   bash scripts/screenshots.sh
#
# Builds build/app/kestrin, starts a virtual X display (Xvfb, 1280x1024x24) with the openbox
# window manager, drives the program with xdotool through the house example of the guide
# (docs/examples/house.kdf: the twelve works are typed into the element dialog one by one) and
# crops each window, with its frame, out of a full-screen capture (ImageMagick). Writes
# docs/guide-*.png (the analysis, the network diagram and the Gantt chart among them, and the first
# page of the diagram's PDF file drawn by pdftoppm), docs/main-window.png, docs/dialog-props.png,
# docs/dialog-calendar.png and docs/preview.png.
#
# Needs: cmake and the build dependencies, xvfb, openbox, xdotool, imagemagick, x11-utils,
# poppler-utils.
# Environment: KESTRIN_SHOTS_DISPLAY (default :97); KESTRIN_SHOTS_WORK, the scratch folder
# (default /tmp/kestrin-guide, emptied first); KESTRIN_SHOTS_KEEP=1 keeps it with the files the
# program wrote (user/Документы: house.kdf, house.dbf, house.bmp, house.pdf, house.csv and
# house-diagram.pdf, .svg, .png).
#
# Clicks go to fixed offsets from a window's client area, found once from full-screen captures;
# the windows themselves are located with xwininfo, so only the layout inside them must hold.
# When a window gains or loses a button, measure its tool bar again: the icons' middles are the
# offsets (a button is 23 pixels wide, its icon 16). A click on a wrong button mostly shows as a
# window that never comes ("no window ..."), but not always: compare the pictures with the guide.
set -euo pipefail

cd "$(dirname "$0")/.."
repo=$PWD
docs=$repo/docs
display=${KESTRIN_SHOTS_DISPLAY:-:97}
program=$repo/build/app/kestrin

for tool in Xvfb openbox xdotool import convert xwininfo xprop pdftoppm cmake; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing" >&2; exit 1; }
done

# --- build ---------------------------------------------------------------------------------------
[ -f build/build.ninja ] || [ -f build/Makefile ] ||
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
for attempt in 1 2 3 4 5; do
    cmake --build build -j2 --target kestrin && break
    [ "$attempt" -eq 5 ] && { echo "screenshots: the program does not build" >&2; exit 1; }
    echo "screenshots: build failed, retrying in a minute" >&2
    sleep 60
done

# --- display, window manager, clean home -------------------------------------------------------
# A fixed folder, so that the file dialogs in the pictures show the same path on every run.
work=${KESTRIN_SHOTS_WORK:-/tmp/kestrin-guide}
rm -rf "$work"
home=$work/user
files=$home/Документы
mkdir -p "$files" "$work/run"
chmod 700 "$work/run"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    if [ "${KESTRIN_SHOTS_KEEP:-0}" = 1 ]; then
        echo "screenshots: files kept in $files"
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
# Openbox's own settings, with a narrower title face so that the dialogs' titles fit their frames.
sed 's|<name>sans</name>|<name>Liberation Sans</name>|' /etc/xdg/openbox/rc.xml >"$work/openbox.xml"
HOME=$home openbox --config-file "$work/openbox.xml" >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# The program runs with a fresh home (no remembered file dialog folders) in the folder that
# receives its files, with the Russian locale (decimal comma, dd.MM.yyyy dates).
program_pid=
start_program() {
    (cd "$files" && exec env -u LC_ALL -u LC_NUMERIC -u LC_TIME -u LANGUAGE \
        HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" \
        XDG_RUNTIME_DIR="$work/run" LANG=ru_RU.UTF-8 "$program" >>"$work/kestrin.log" 2>&1) &
    program_pid=$!
    pids+=("$program_pid")
    wait_active 'Kestrin - расчёт сетевых графиков*' >/dev/null
    sleep 0.5
}

# --- helpers -----------------------------------------------------------------------------------
# Waits until the active window's title matches the glob; prints the window id.
wait_active() {
    local pattern=$1 id name
    for _ in $(seq 100); do
        id=$(xdotool getactivewindow 2>/dev/null || true)
        if [ -n "$id" ]; then
            name=$(xdotool getwindowname "$id" 2>/dev/null || true)
            # shellcheck disable=SC2053
            if [[ $name == $pattern ]]; then echo "$id"; return 0; fi
        fi
        sleep 0.1
    done
    echo "screenshots: no window '$pattern' (active: '${name:-none}')" >&2
    exit 1
}

# Sets CX CY (client area origin), CW CH (client size) and FL FR FT FB (frame extents) of a window.
locate() {
    local info extents
    info=$(xwininfo -id "$1")
    CX=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    CY=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    CW=$(sed -n 's/.*Width: *//p' <<<"$info")
    CH=$(sed -n 's/.*Height: *//p' <<<"$info")
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= *//; s/,//g')
    read -r FL FR FT FB <<<"$extents"
}

park() { xdotool mousemove 5 5; sleep 0.6; }                # off every window: no hover, no tip
click() { xdotool mousemove "$((CX + $1))" "$((CY + $2))"; sleep 0.2; xdotool click 1; sleep "${3:-0.6}"; }
type_text() { xdotool type --delay 60 "$1"; }

# Captures the screen and crops the window (client area and frame) into docs/NAME.
shoot() {
    local id=$1 name=$2
    locate "$id"
    import -window root "$work/screen.png"
    convert "$work/screen.png" -crop "$((CW + FL + FR))x$((CH + FT + FB))+$((CX - FL))+$((CY - FT))" \
        +repage "$docs/$name"
    echo "screenshots: docs/$name"
}

# Types a file name (the dialog opens in the folder of the program's files) or a full path into
# the focused Qt file dialog and accepts it. Qt's completion list can stay
# on screen after the dialog closes; a click on an empty part of the window below removes it.
file_dialog() {
    local title=$1 path=$2 shot=${3:-} id
    id=$(wait_active "$title")
    sleep 0.5
    type_text "$path"
    sleep 1.2
    if [ -n "$shot" ]; then park; shoot "$id" "$shot"; fi
    xdotool key Return
    sleep 0.8
}

# Offsets inside the main window's client area: the first tool bar (add, edit, delete, undo, redo;
# recalculate, start date), the second (work list file, CSV files; copy, copy all, paste; dBASE;
# print, graph, analysis, diagram, Gantt chart; quit) and the automatic ends' hand.
M_NEW=(16 17); M_RECALC=(143 17); M_CALENDAR=(167 17)
M_LOAD=(16 48); M_SAVE=(40 48); M_DBF=(198 48); M_PRINT=(229 48); M_GRAPH=(254 48)
M_ANALYSIS=(278 48); M_DIAGRAM=(301 48); M_GANTT=(325 48); M_EXIT=(356 48); M_AUTO=(389 48)
# Element dialog, start-date dialog.
P_OK=(235 92)
C_YEAR=(114 14); C_PREV=(14 14); C_FIRST_MONDAY=(17 74); C_OK=(129 171)
# Graph window; the drawing area starts 29 pixels below the client area's top.
G_SAVE=(17 17); G_PRINT=(41 17); G_CLOSE=(72 17); G_POINTS=(199 14); G_FIRST_ENTRY=(106 17)
G_INSERT=(329 17); G_AUTO=(353 17); G_PLACE_ALL=(377 17); G_DRAW=(408 17); G_PAD_TOP=29
# Gantt chart window; the bar of work 4 -> 6 at the day scale.
N_PRINT=(15 15); N_CLOSE=(477 15); N_BAR=(438 165)
# Report preview.
V_WIDTH=(73 15); V_FIT=(16 15); V_PDF=(467 15); V_CLOSE=(510 15)
# Analysis window: its buttons, and the tab of its works page.
A_PRINT=(15 14); A_CSV=(39 14); A_CLOSE=(70 14); A_WORKS_TAB=(106 44)
# Diagram window: its buttons and check boxes, and the circle of event 7 as the window opens.
D_SAVE=(40 14); D_SECTORS=(448 14); D_FLOATS=(518 14); D_CLOSE=(633 14); D_EVENT_7=(650 292)

# Waits for the main window to be active again and locates it.
main_window() { main=$(wait_active 'Kestrin - расчёт сетевых графиков*'); locate "$main"; }

# --- the house example, from the first work to the reports -------------------------------------
start_program
main_window
park
shoot "$main" guide-start.png

add_work() { # from to duration [screenshot of the dialog]
    local id
    locate "$main"
    click "${M_NEW[@]}"
    id=$(wait_active 'Параметры элемента графика')
    type_text "$1"; xdotool key Tab; type_text "$2"; xdotool key Tab; type_text "$3"
    sleep 0.3
    if [ -n "${4:-}" ]; then park; shoot "$id" "$4"; fi
    locate "$id"
    click "${P_OK[@]}"
    wait_active 'Kestrin - расчёт сетевых графиков*' >/dev/null
}
add_work 1 2 3
add_work 1 3 5
add_work 2 4 4
add_work 3 4 0
add_work 3 5 2,5 dialog-props.png
add_work 4 6 6
add_work 5 6 1
add_work 6 7 3
add_work 6 8 2
add_work 7 9 4
add_work 8 9 1,5
add_work 9 10 1
locate "$main"; park
shoot "$main" guide-works.png

click "${M_AUTO[@]}"
click "${M_RECALC[@]}"
park
shoot "$main" guide-recalc.png

# Start date: Monday, 1 March 2027 (the year typed into the calendar's year field, then back
# nine months from December).
click "${M_CALENDAR[@]}"
calendar=$(wait_active 'Начало работ'); locate "$calendar"
click "${C_YEAR[@]}" 0.4
type_text 2027; xdotool key Return; sleep 0.4
for _ in $(seq 9); do click "${C_PREV[@]}" 0.2; done
click "${C_FIRST_MONDAY[@]}" 0.4
park
shoot "$calendar" dialog-calendar.png
click "${C_OK[@]}"
main_window; park
shoot "$main" guide-dates.png
shoot "$main" main-window.png

# Work list file and dBASE table.
click "${M_SAVE[@]}"
file_dialog 'Сохранить как' house.kdf guide-save.png
main_window
cmp -s "$files/house.kdf" "$docs/examples/house.kdf" ||
    echo "screenshots: WARNING: the saved house.kdf differs from docs/examples/house.kdf" >&2
click "${M_DBF[@]}"
file_dialog 'Сохранить как' house.dbf
main_window
[ -s "$files/house.dbf" ] || echo "screenshots: WARNING: no house.dbf was written" >&2

# Graph window: the critical path placed automatically, the other events by hand.
click "${M_GRAPH[@]}"
graph=$(wait_active 'Kestrin - построение графа*'); sleep 0.5; locate "$graph"
click "${G_AUTO[@]}"
click "${G_POINTS[@]}"
park
shoot "$graph" guide-graph-auto.png
place_first_entry() { # left top of the marker in the drawing area
    locate "$graph"
    # The list may already be open (after the picture above); open it if it is not.
    [ "${1}" = open ] || click "${G_POINTS[@]}" 0.5
    click "${G_FIRST_ENTRY[@]}" 0.4
    click "${G_INSERT[@]}" 0.4
    # One jump of the pointer carries the marker there; the click on it drops it.
    xdotool mousemove "$((CX + $2))" "$((CY + G_PAD_TOP + $3))"; sleep 0.4
    xdotool click 1; sleep 0.4
}
place_first_entry open 136 406   # event 3
place_first_entry closed 283 470 # event 5
place_first_entry closed 509 140 # event 8
park
shoot "$graph" guide-graph-placed.png
click "${G_DRAW[@]}"
park
shoot "$graph" guide-graph.png
click "${G_SAVE[@]}"
file_dialog 'Сохранить как' house.bmp
graph=$(wait_active 'Kestrin - построение графа*'); locate "$graph"
[ -s "$files/house.bmp" ] || echo "screenshots: WARNING: no house.bmp was written" >&2
click "${G_PRINT[@]}"
preview=$(wait_active 'Предварительный просмотр'); sleep 2
park
shoot "$preview" guide-graph-print.png
locate "$preview"
click "${V_CLOSE[@]}"
graph=$(wait_active 'Kestrin - построение графа*'); locate "$graph"
click "${G_CLOSE[@]}"

# The graph window again, every event placed at once.
main_window
click "${M_GRAPH[@]}"
graph=$(wait_active 'Kestrin - построение графа*'); sleep 0.5; locate "$graph"
click "${G_PLACE_ALL[@]}" 1
park
shoot "$graph" guide-graph-placeall.png
graph=$(wait_active 'Kestrin - построение графа*'); locate "$graph"
click "${G_CLOSE[@]}"

# Table report.
main_window
click "${M_PRINT[@]}"
preview=$(wait_active 'Предварительный просмотр'); sleep 2
park
shoot "$preview" preview.png
locate "$preview"
click "${V_WIDTH[@]}" 1
park
shoot "$preview" guide-preview-width.png
locate "$preview"
click "${V_FIT[@]}" 0.6
click "${V_PDF[@]}"
file_dialog 'Экспорт в PDF' house.pdf
preview=$(wait_active 'Предварительный просмотр'); locate "$preview"
[ -s "$files/house.pdf" ] || echo "screenshots: WARNING: no house.pdf was written" >&2
click "${V_CLOSE[@]}"

# Network analysis: the events page, the works page, the printout and the CSV file.
main_window
click "${M_ANALYSIS[@]}"
analysis=$(wait_active 'Kestrin - анализ сети'); sleep 0.5
park
shoot "$analysis" guide-analysis.png
locate "$analysis"
click "${A_WORKS_TAB[@]}"
park
shoot "$analysis" guide-analysis-works.png
locate "$analysis"
click "${A_PRINT[@]}"
preview=$(wait_active 'Предварительный просмотр'); sleep 2
park
shoot "$preview" guide-analysis-print.png
locate "$preview"
click "${V_CLOSE[@]}"
analysis=$(wait_active 'Kestrin - анализ сети'); locate "$analysis"
click "${A_CSV[@]}"
file_dialog 'Сохранить как' house.csv
analysis=$(wait_active 'Kestrin - анализ сети'); locate "$analysis"
[ -s "$files/house.csv" ] || echo "screenshots: WARNING: no house.csv was written" >&2
click "${A_CLOSE[@]}"

# Network diagram: four sectors as it opens, then named circles with the works' floats and the tool
# tip of an event; the diagram saved as PDF, SVG and PNG (its save menu: PDF, SVG, then PNG at 96,
# 150 and 300 dots to the inch), and the PDF's page drawn as a picture.
main_window
click "${M_DIAGRAM[@]}"
diagram=$(wait_active 'Kestrin - схема сети*'); sleep 0.5; locate "$diagram"
park
shoot "$diagram" guide-diagram.png
locate "$diagram"
click "${D_SECTORS[@]}"
click "${D_FLOATS[@]}"
xdotool mousemove "$((CX + D_EVENT_7[0]))" "$((CY + D_EVENT_7[1]))"; sleep 0.3
xdotool mousemove "$((CX + D_EVENT_7[0] + 2))" "$((CY + D_EVENT_7[1]))"; sleep 2
shoot "$diagram" guide-diagram-named.png
park
save_diagram() { # menu entry (1 PDF, 2 SVG, 3 PNG at 96 dots to the inch) file name
    locate "$diagram"
    click "${D_SAVE[@]}" 0.8
    for _ in $(seq "$1"); do xdotool key Down; done
    xdotool key Return
    file_dialog 'Сохранить как' "$2"
    diagram=$(wait_active 'Kestrin - схема сети*')
    [ -s "$files/$2" ] || echo "screenshots: WARNING: no $2 was written" >&2
}
save_diagram 1 house-diagram.pdf
save_diagram 2 house-diagram.svg
save_diagram 3 house-diagram.png
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$files/house-diagram.pdf" "$work/diagram-page"
# A grey edge shows where the white page ends.
convert "$work/diagram-page.png" -bordercolor '#808080' -border 1 "$docs/guide-diagram-pdf.png"
echo "screenshots: docs/guide-diagram-pdf.png"
locate "$diagram"
click "${D_CLOSE[@]}"

# Gantt chart, with the tool tip of one bar, and its print preview.
main_window
click "${M_GANTT[@]}"
gantt=$(wait_active 'Kestrin - диаграмма Ганта*'); sleep 0.5; locate "$gantt"
park
xdotool mousemove "$((CX + N_BAR[0]))" "$((CY + N_BAR[1]))"; sleep 0.3
xdotool mousemove "$((CX + N_BAR[0] + 2))" "$((CY + N_BAR[1]))"; sleep 2
shoot "$gantt" guide-gantt.png
park
click "${N_PRINT[@]}"
preview=$(wait_active 'Предварительный просмотр'); sleep 2
park
shoot "$preview" guide-gantt-print.png
locate "$preview"
click "${V_CLOSE[@]}"
gantt=$(wait_active 'Kestrin - диаграмма Ганта*'); locate "$gantt"
click "${N_CLOSE[@]}"

main_window
click "${M_EXIT[@]}"
wait "$program_pid" || true

echo "screenshots: done"
