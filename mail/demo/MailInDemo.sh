# The receiving part of the demo, sourced by demo.sh inside its private network: dovecot serves
# on 127.0.0.1:110 the mailbox into which the sent message is delivered, and 'VL_PAK32 2' (the
# Talvik job) fetches the packages back into Katalog_TRN.
#
# Uses demo.sh's WORK, PROG, PIDS, PY, SHOT, step, wait_for_port, show_record and
# run_on_virtual_display.

POP3_DIR=""
POP3_USER=sklep7

start_pop3() {
    step "Starting the POP3 server (dovecot) on 127.0.0.1:110"
    POP3_DIR="$WORK/pop3"
    mkdir -p "$POP3_DIR/run" "$POP3_DIR/state" "$POP3_DIR/home/Maildir/"{cur,new,tmp}
    chown -R nobody:nogroup "$POP3_DIR/home"
    # The password the host stores complemented in VL_PAK32.INI ("demo").
    echo "$POP3_USER:{PLAIN}demo" >"$POP3_DIR/passwd"
    chmod 644 "$POP3_DIR/passwd"
    cat >"$POP3_DIR/dovecot.conf" <<CONF
base_dir = $POP3_DIR/run
state_dir = $POP3_DIR/state
log_path = $POP3_DIR/dovecot.log
info_log_path = $POP3_DIR/dovecot.log
protocols = pop3
listen = 127.0.0.1
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain
default_internal_user = dovecot
default_login_user = dovenull
mail_location = maildir:$POP3_DIR/home/Maildir
pop3_logout_format = top=%t/%p, retr=%r/%b, del=%d/%m, size=%s
service pop3-login {
  inet_listener pop3 {
    address = 127.0.0.1
    port = 110
  }
}
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u $POP3_DIR/passwd
}
userdb {
  driver = static
  args = uid=nobody gid=nogroup home=$POP3_DIR/home
}
CONF
    /usr/sbin/dovecot -F -c "$POP3_DIR/dovecot.conf" >"$POP3_DIR/stdout.log" 2>&1 &
    PIDS+=($!)
    wait_for_port 110
}

# Puts a raw message file into the mailbox as a new message.
deliver() { # file name
    local dest="$POP3_DIR/home/Maildir/new/$2"
    cp "$1" "$dest"
    chown nobody:nogroup "$dest"
}

receive_demo() {
    step "Delivering into the POP3 mailbox: the sent message and an invoice without the title"
    local n=0
    for f in "$WORK"/smtp/*.eml; do
        [[ -e "$f" ]] || continue
        n=$((n + 1))
        deliver "$f" "$((1700000000 + n)).M${n}P1.demo"
    done
    "$PY" - "$WORK/faktura.eml" <<'PYEOF'
import sys
from email.message import EmailMessage
m = EmailMessage()
m["From"] = "Biuro <biuro@example.com>"
m["To"] = "centrala@example.com"
m["Subject"] = "Faktura 12/2024"
m["Date"] = "Tue, 03 Dec 2024 09:30:00 +0100"
m.set_content("Faktura w załączniku.")
m.add_attachment(b"%PDF-1.4 demo", maintype="application", subtype="pdf", filename="faktura.pdf")
open(sys.argv[1], "wb").write(bytes(m))
PYEOF
    n=$((n + 1))
    deliver "$WORK/faktura.eml" "$((1700000000 + n)).M${n}P1.demo"
    echo "  messages in the mailbox: $(ls "$POP3_DIR/home/Maildir/new" | wc -l)"

    step "Preparing VL_PAK32.INI for receiving (POP3 account '$POP3_USER', result record cleared)"
    "$PY" - "$PROG/VL_PAK32.INI" "$POP3_USER" <<'PYEOF'
import sys
path, user = sys.argv[1], sys.argv[2].encode("cp1250")
out, section = [], None
for line in open(path, "rb").read().split(b"\r\n"):
    if line.startswith(b"["):
        section = line
    if section == b"[Error]" or not line:
        continue
    if section == b"[Eksport_TRN]" and line.startswith(b"Uzytkownik="):
        line = b"Uzytkownik=" + user
    out.append(line)
open(path, "wb").write(b"\r\n".join(out) + b"\r\n")
PYEOF

    if [[ -z "$SHOT" ]]; then
        step "Running 'VL_PAK32 2' on your display $DISPLAY: press \"Zamknij\" when it is done"
        (cd "$WORK" && "$PROG/VL_PAK32" 2)
    else
        step "Running 'VL_PAK32 2' on the virtual display"
        RECEIVE_SHOT="$WORK/VL_PAK32-odbior.png"
        run_on_virtual_display 2 "Odbieranie poczty - Talvik" "$RECEIVE_SHOT" "$WORK/program-odbior.log" || return 1
    fi

    step "Result record of the receiving run (section Error)"
    show_record

    step "Files saved into Katalog_TRN ($WORK/odbior)"
    local f same
    for f in "$WORK"/odbior/*; do
        [[ -e "$f" ]] || { echo "  (none)"; break; }
        same="differs from the sent package"
        cmp -s "$f" "$WORK/wysylka/$(basename "$f")" && same="same bytes as the sent package"
        printf '  %-24s %8d bytes  %s\n' "$(basename "$f")" "$(stat -c %s "$f")" "$same"
    done

    step "What the POP3 server did (dovecot's session log) and kept"
    grep -o 'top=.*' "$POP3_DIR/dovecot.log" | sed 's/^/  /' || echo "  (no session)"
    echo "  messages left in the mailbox: $(ls "$POP3_DIR/home/Maildir/new" "$POP3_DIR/home/Maildir/cur" | grep -c '\.demo')"
    [[ -n "${RECEIVE_SHOT:-}" ]] && echo "  screenshot: $RECEIVE_SHOT"
    return 0
}
