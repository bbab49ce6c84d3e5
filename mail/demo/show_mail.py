"""Prints what the demo's SMTP server received: envelope, headers and attachments with sizes."""

import email
import email.policy
import json
import sys

for base in sys.argv[1:]:
    with open(base + ".json") as f:
        envelope = json.load(f)
    with open(base + ".eml", "rb") as f:
        msg = email.message_from_binary_file(f, policy=email.policy.default)
    print("  envelope:  MAIL FROM <%s>, RCPT TO %s" % (envelope["mail_from"],
          ", ".join("<%s>" % r for r in envelope["rcpt_tos"])))
    for header in ("Subject", "From", "To", "Reply-To", "Date"):
        print("  %-10s %s" % (header + ":", msg.get(header, "")))
    attachments = [p for p in msg.walk() if p.get_filename()]
    print("  attachments (%d):" % len(attachments))
    for part in attachments:
        data = part.get_payload(decode=True) or b""
        print("    %-20s %8d bytes  (%s)" % (part.get_filename(), len(data), part.get_content_type()))
