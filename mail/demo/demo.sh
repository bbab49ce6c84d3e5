#!/usr/bin/env bash
# The suite's demo: VL_PAK32 sends the sample transaction packages by e-mail to a real SMTP
# server on a private loopback network, and shows what the host would find afterwards.
#
#   demo.sh BIN_DIR      (BIN_DIR holds the built VL_PAK32)
#
# With a reachable X display the window shows there and you press "Zamknij" yourself; without
# one it runs on a virtual display, the button is pressed for you and a screenshot is saved.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
PY=/usr/bin/python3

if [[ "${1:-}" != "--inside" ]]; then
    BIN_DIR=$(cd "${1:?usage: demo.sh BIN_DIR}" && pwd)
    [[ -x "$BIN_DIR/VL_PAK32" ]] || { echo "no VL_PAK32 in $BIN_DIR" >&2; exit 1; }
    # A network of our own: ports 25 and 110 are free there and nothing leaves the machine.
    if [[ $(id -u) -eq 0 ]]; then
        exec unshare --net "$0" --inside "$BIN_DIR"
    else
        exec unshare --user --map-root-user --net "$0" --inside "$BIN_DIR"
    fi
fi
BIN_DIR=$2
ip link set lo up

WORK=$(mktemp -d /tmp/vl_pak32_demo.XXXXXX)
chmod 755 "$WORK"
PIDS=()
cleanup() {
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

wait_for_port() { # port
    for _ in $(seq 100); do
        (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
        sleep 0.1
    done
    echo "nothing listens on port $1" >&2
    return 1
}

step() { printf '\n== %s\n' "$*"; }

# ---- Mail servers ---------------------------------------------------------------------------
step "Starting the SMTP server (aiosmtpd) on 127.0.0.1:25"
mkdir -p "$WORK/smtp"
PYTHONPATH="$HERE" "$PY" -m aiosmtpd -n -l 127.0.0.1:25 -c demo_smtp.Store "$WORK/smtp" \
    >"$WORK/smtp.log" 2>&1 &
PIDS+=($!)
wait_for_port 25

# The receiving jobs ("2", "3") fetch the packages back over POP3: start_pop3 brings up dovecot
# on 127.0.0.1:110 for the mailbox the sent message is delivered into; receive_demo runs
# 'VL_PAK32 2'. Both live in MailInDemo.sh.
source "$HERE/MailInDemo.sh"
start_pop3

# ---- The host's side: packages, program and settings ----------------------------------------
step "Preparing the shipment and VL_PAK32.INI"
PROG="$WORK/program"
mkdir -p "$PROG" "$WORK/odbior"
cp "$BIN_DIR/VL_PAK32" "$PROG/VL_PAK32"
"$PY" "$HERE/make_packages.py" "$WORK/wysylka"
"$PY" - "$PROG/VL_PAK32.INI" "$WORK" <<'PYEOF'
import sys
ini, work = sys.argv[1], sys.argv[2]
settings = [
    ("Tytul_Wiadomosci", "Paczki transakcji - sklep 7"),
    ("Katalog_Wysylka", work + "/wysylka"),
    ("Katalog_TRN", work + "/odbior"),
    ("Mail_Do", "centrala@example.com"),
    ("Mail_Od", "sklep7@example.com"),
    ("Uzytkownik", "Sklep 7 Łódź"),
    ("SMTP", "localhost"),
    ("POP3", "localhost"),
    ("CzyUsuwac", "TAK"),
    ("NIP", "1234567890"),
]
with open(ini, "wb") as f:  # Windows-1250 text with CR LF, as the host writes it
    f.write(b"[Eksport_TRN]\r\n")
    for key, value in settings:
        f.write(key.encode("cp1250") + b"=" + value.encode("cp1250") + b"\r\n")
    # The POP3 password is stored with every byte complemented.
    f.write(b"Haslo=" + bytes(b ^ 0xFF for b in b"demo") + b"\r\n")
PYEOF
echo "  packages: $(cd "$WORK/wysylka" && ls | tr '\n' ' ')"
echo "  settings: $PROG/VL_PAK32.INI"

record_written() { grep -q '^\[Error\]' "$PROG/VL_PAK32.INI" 2>/dev/null; }

show_record() {
    if record_written; then
        sed -n '/^\[Error\]/,/^\[/p' "$PROG/VL_PAK32.INI" | tr -d '\r' | sed 's/^/  /'
    else
        echo "  (none written)"
    fi
}

# Runs 'VL_PAK32 JOB' on the virtual display as a user would: waits for the window titled
# TITLE, answers a failure's message box with Enter, waits for the result record, saves a
# screenshot to SHOT and presses "Za&mknij" (Alt+M).
run_on_virtual_display() { # job title shot log
    local job=$1 title=$2 shot=$3 log=$4 app win="" box
    (cd "$WORK" && exec "$PROG/VL_PAK32" "$job") >"$log" 2>&1 &
    app=$!
    # Windows of the program by title (xdotool's own name match is not safe with "ą").
    window_titled() { # prefix
        local w
        for w in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
            [[ "$(xdotool getwindowname "$w" 2>/dev/null)" == "$1"* ]] && { echo "$w"; return 0; }
        done
        return 1
    }
    for _ in $(seq 200); do
        win=$(window_titled "$title" || true)
        [[ -n "$win" ]] && break
        sleep 0.1
    done
    if [[ -z "$win" ]]; then
        echo "  the window did not appear" >&2
        cat "$log" >&2
        kill "$app" 2>/dev/null || true
        return 1
    fi
    for _ in $(seq 600); do
        record_written && break
        box=$(window_titled "Błąd" || true)
        if [[ -n "$box" && "$box" != "$win" ]]; then
            echo "  message box: $(xdotool getwindowname "$box")"
            xdotool windowactivate --sync "$box" key Return 2>/dev/null || true
        fi
        sleep 0.1
    done
    sleep 1 # the closing lines and the button
    import -window "$win" "$shot"
    xdotool windowactivate --sync "$win" key --clearmodifiers alt+m
    wait "$app" || true
}

# ---- The run --------------------------------------------------------------------------------
SHOT=""
if [[ -n "${DISPLAY:-}" ]] && xprop -root >/dev/null 2>&1; then
    step "Running 'VL_PAK32 1' on your display $DISPLAY: press \"Zamknij\" when it is done"
    (cd "$WORK" && "$PROG/VL_PAK32" 1)
else
    step "Running 'VL_PAK32 1' on a virtual display (Xvfb with openbox)"
    exec 5< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>"$WORK/xvfb.log")
    PIDS+=($!)
    read -r -t 20 NUM <&5 || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$NUM"
    openbox >/dev/null 2>&1 &
    PIDS+=($!)
    for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done

    SHOT="$WORK/VL_PAK32-wysylka.png"
    run_on_virtual_display 1 "Wysyłanie danych" "$SHOT" "$WORK/program.log" || exit 1
fi

# ---- The outcome ----------------------------------------------------------------------------
step "Result record in VL_PAK32.INI (section Error)"
show_record

step "What the SMTP server received"
MAILS=()
for f in "$WORK"/smtp/*.eml; do [[ -e "$f" ]] && MAILS+=("${f%.eml}"); done
if ((${#MAILS[@]})); then
    "$PY" "$HERE/show_mail.py" "${MAILS[@]}"
else
    echo "  (no message)"
fi

# The receiving part (MailInDemo.sh): 'VL_PAK32 2' fetches the packages back into Katalog_TRN.
receive_demo

if [[ -n "$SHOT" ]]; then
    step "Screenshot of the window"
    echo "  $SHOT"
fi
echo
echo "Everything of this run is in $WORK"
