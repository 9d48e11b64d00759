#!/usr/bin/env bash
# Makes the README's pictures of the three windows. Builds the program, copies it into a scratch
# folder (it keeps its member folders beside itself), runs it under a virtual X server with a
# small window manager for the frames and title bars, adds a demo member through the login
# window, writes a few entries, gives the page a caption, searches, and saves a PNG of each
# window.
#   scripts/screenshots.sh                  pictures into docs/screenshots/
#   scripts/screenshots.sh OUT              pictures into OUT
#   QT_SCALE_FACTOR=2 scripts/screenshots.sh /tmp/hidpi     the same at twice the resolution
set -euo pipefail

if [ "${1:-}" = "--inside-display" ]; then
    # Runs inside xvfb-run: $2 the scratch folder with the program, $3 the output folder.
    scratch="$2"
    out="$3"
    set -E
    shopt -s inherit_errexit
    export XDG_RUNTIME_DIR="$scratch/runtime"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"

    # IceWM honours the frame a window asks for (no minimise or maximise box on the login
    # window). Its taskbar is left out, and a window without an icon shows none.
    export ICEWM_PRIVCFG="$scratch/icewm"
    mkdir -p "$ICEWM_PRIVCFG/icons"
    cat >"$ICEWM_PRIVCFG/preferences" <<'PREFS'
ShowTaskBar=0
IconPath="icons"
TitleButtonsLeft="s"
TitleButtonsRight="xmi"
PREFS
    echo 'Theme="win95/default.theme"' >"$ICEWM_PRIVCFG/theme"
    for size in 16 32 48; do
        convert -size ${size}x${size} xc:none "PNG32:$ICEWM_PRIVCFG/icons/app_${size}x${size}.png"
    done
    icewm >"$scratch/icewm.log" 2>&1 &
    sleep 2

    "$scratch/Jotterel/jotterel" >"$scratch/jotterel.log" 2>&1 &
    program=$!
    trap 'import -window root "$out/failed.png"; echo "failed at line $LINENO; the screen is in $out/failed.png" >&2' ERR

    # Waits for a window with exactly this title and gives it the keyboard.
    window() {
        local id pattern
        pattern=$(printf '%s' "$1" | sed 's/[][\\.*^$()+?{}|]/\\&/g')
        id=$(timeout 20 xdotool search --sync --onlyvisible --name "^$pattern\$" | head -1)
        [ -n "$id" ]
        xdotool windowactivate --sync "$id" 2>/dev/null || true
        sleep 0.5
        echo "$id"
    }
    keys() { xdotool key --delay 80 "$@"; sleep 0.5; }
    type_text() { xdotool type --delay 30 "$1"; sleep 0.3; }
    # The window with its frame and title bar.
    shoot() {
        sleep 0.5
        import -frame -window "$1" "$out/$2"
        echo "saved $out/$2"
    }

    login=$(window "Jotterel - Member login")
    keys alt+a
    window "Add new user" >/dev/null
    type_text "Robin"
    keys Return
    window "Jotterel" >/dev/null # the new member's password
    keys Return
    window "Jotterel - Member login" >/dev/null
    type_text "Robi"
    shoot "$login" login-window.png
    keys Return

    main=$(window "Jotterel of 'Robin'")
    for entry in "Sowed the tomatoes and basil in the cold frame" \
        "Rain all afternoon; read by the window and planned the beds" \
        "The tomato seedlings are up, two leaves each" \
        "Mended the fence by the gate with Sam"; do
        type_text "$entry"
        keys Return
        window "Jotterel" >/dev/null # "Save the typed text to page 1?"
        keys Return
        window "Jotterel of 'Robin'" >/dev/null
    done
    # A click on the caption label names the page. The label is the one large black box in the
    # window: found in a picture of it, whatever the resolution.
    import -window "$main" "$scratch/find-caption.png"
    IFS='x+' read -r w h x y < <(convert "$scratch/find-caption.png" -fill white +opaque black -negate \
        -morphology Erode Rectangle:15x5 -format '%@\n' info:)
    xdotool mousemove --window "$main" $((x + w / 2)) $((y + h / 2)) click 1
    window "Jotterel" >/dev/null
    type_text "Garden, spring"
    keys Return
    window "Jotterel of 'Robin'" >/dev/null
    xdotool mousemove 0 0
    shoot "$main" main-window.png

    keys ctrl+f
    window "Jotterel" >/dev/null
    type_text "tomato"
    keys Return
    results=$(window "Find results (double-click on item to open page)")
    keys Down
    shoot "$results" find-results-window.png

    kill "$program" 2>/dev/null || true
    exit 0
fi

cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/screenshots}")"
scripts/install-deps.sh xvfb xauth xdotool icewm imagemagick
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target jotterel
mkdir -p "$out"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/Jotterel"
cp build/Jotterel/jotterel "$scratch/Jotterel/"
xvfb-run -a -s "-screen 0 1920x1440x24 -dpi 96" "$0" --inside-display "$scratch" "$out"
