"""aiosmtpd handler for the tests: keeps every message in a folder.

For message N it writes N.eml (the raw bytes) and N.env (JSON: mail_from, rcpt_tos, helo).
Configured by a JSON file given as the handler's argument:
  {"folder": ..., "refuse": {"addr": "550 5.1.1 User unknown"}, "refuse_hello": "554 ..."}
"""
import json
import os


class Store:
    def __init__(self, config_path):
        with open(config_path, encoding="utf-8") as f:
            cfg = json.load(f)
        self.folder = cfg["folder"]
        self.refuse = {k.lower(): v for k, v in cfg.get("refuse", {}).items()}
        self.refuse_hello = cfg.get("refuse_hello", "")
        self.count = 0

    @classmethod
    def from_cli(cls, parser, *args):
        return cls(args[0])

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        if self.refuse_hello:
            return [self.refuse_hello]
        session.host_name = hostname
        return responses

    async def handle_HELO(self, server, session, envelope, hostname):
        if self.refuse_hello:
            return self.refuse_hello
        session.host_name = hostname
        return "250 {}".format(server.hostname)

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        reply = self.refuse.get(address.lower())
        if reply:
            return reply
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, str(self.count))
        with open(base + ".tmp", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".env", "w", encoding="utf-8") as f:
            json.dump({"mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos,
                       "helo": session.host_name or ""}, f)
        os.rename(base + ".tmp", base + ".eml")
        return "250 Message accepted for delivery"
