"""aiosmtpd handler of the demo: keeps each received message as NNN.eml with its envelope."""

import json
import os


class Store:
    def __init__(self, folder):
        self.folder = folder
        os.makedirs(folder, exist_ok=True)

    @classmethod
    def from_cli(cls, parser, *args):
        return cls(args[0])

    async def handle_DATA(self, server, session, envelope):
        n = len([f for f in os.listdir(self.folder) if f.endswith(".eml")]) + 1
        base = os.path.join(self.folder, "%03d" % n)
        with open(base + ".json", "w") as f:
            json.dump({"mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos}, f)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        return "250 Message accepted for delivery"
