"""Reads one message with Python's email package and prints what it finds, one fact a line:
KEY<TAB>VALUE, values percent-escaped (urllib.parse.quote). Keys: subject, from, to, reply-to,
content-type, text, defect (of the message, its parts and the parts' Content-Type and
Content-Disposition headers), and per attachment: attachment NAME<TAB>TYPE<TAB>SIZE<TAB>SHA256<TAB>
TYPE-NAME, where NAME is the filename parameter of the part's Content-Disposition and TYPE-NAME
the name parameter of its Content-Type, both as the structured header parser reads them (which,
unlike get_filename, keeps quotes at both ends of a name)."""
import email
import email.policy
import hashlib
import sys
from urllib.parse import quote


def q(s):
    return quote(s if s is not None else "", safe="")


def param(part, header, name):
    return getattr(part.get(header), "params", {}).get(name)


def main():
    with open(sys.argv[1], "rb") as f:
        msg = email.message_from_binary_file(f, policy=email.policy.default)
    print("subject\t" + q(str(msg.get("Subject", ""))))
    print("from\t" + q(str(msg.get("From", ""))))
    print("to\t" + q(str(msg.get("To", ""))))
    print("reply-to\t" + q(str(msg.get("Reply-To", ""))))
    print("content-type\t" + q(msg.get_content_type()))
    for d in msg.defects:
        print("defect\t" + q(type(d).__name__))
    for part in msg.walk():
        if part.is_multipart():
            continue
        for d in part.defects:
            print("defect\t" + q(type(d).__name__))
        for header in ("Content-Type", "Content-Disposition"):
            for d in getattr(part.get(header), "defects", ()):
                print("defect\t" + q(header + ": " + str(d)))
        if part.get_filename() is not None or part.get_content_disposition() == "attachment":
            data = part.get_payload(decode=True) or b""
            file_name = param(part, "Content-Disposition", "filename")
            if file_name is None:
                file_name = part.get_filename()
            type_name = param(part, "Content-Type", "name")
            print("attachment\t" + "\t".join([q(file_name), q(part.get_content_type()),
                                              str(len(data)), hashlib.sha256(data).hexdigest(),
                                              q(type_name)]))
        else:
            print("text\t1")


main()
