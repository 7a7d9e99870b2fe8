#!/usr/bin/env python3
"""A loopback FTP server for the tests of the program update (pyftpdlib, Debian's python3-pyftpdlib).

Usage:  ftp_server.py --root DIR [--host ADDRESS] [--break-after N] [--no-rest] [--digest NAME=TEXT ...]

It listens on 127.0.0.1, or on the loopback address given (--host ::1 for IPv6).

Serves DIR read-only to the anonymous user. Prints "listening PORT" once it accepts connections, then
"command LINE" for every command it receives. "SITE MD5 PATH" answers "200 <md5 of the file> PATH" (with
--digest NAME=TEXT, the file named NAME gets the text TEXT in place of its digest); a missing file answers 550.
"disconnected" is printed when a control connection ends. With --break-after N, the first download stops
after N bytes with "426" (a broken transfer). With --no-rest, REST is refused except "REST 0".
"""

import argparse
import errno
import hashlib
import logging
import os

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, _FileReadWriteError, proto_cmds
from pyftpdlib.servers import FTPServer


class BrokenProducer:
    """Hands out the first bytes of a file, then fails as a broken link would."""

    def __init__(self, data):
        self.data = data

    def more(self):
        if self.data:
            data, self.data = self.data, b""
            return data
        raise _FileReadWriteError(errno.ECONNRESET, "transfer broken by the test server")


class Handler(FTPHandler):
    proto_cmds = dict(proto_cmds)
    proto_cmds["SITE MD5"] = dict(perm="r", auth=True, arg=True, help="Syntax: SITE MD5 <SP> path (MD5 of a file).")
    use_sendfile = False
    break_after = None
    digests = {}
    broken = False
    no_rest = False

    def pre_process_command(self, line, cmd, arg):
        print("command " + line, flush=True)
        return super().pre_process_command(line, cmd, arg)

    def ftp_REST(self, line):
        if self.no_rest and line.strip() != "0":
            self.respond("502 Resuming is not supported here.")
            return
        return super().ftp_REST(line)

    def on_disconnect(self):
        print("disconnected", flush=True)

    def ftp_SITE_MD5(self, path):
        # pyftpdlib hands the path already mapped into the served folder.
        if not self.fs.isfile(path):
            self.respond("550 No such file.")
            return
        name = os.path.basename(path)
        if name in self.digests:
            digest = self.digests[name]
        else:
            with open(path, "rb") as source:
                digest = hashlib.md5(source.read()).hexdigest()
        self.respond("200 %s %s" % (digest, self.fs.fs2ftp(path)))

    def ftp_RETR(self, file):
        if self.break_after is None or Handler.broken:
            return super().ftp_RETR(file)
        Handler.broken = True
        offset, self._restart_position = self._restart_position, 0
        with open(file, "rb") as source:
            source.seek(offset)
            data = source.read(self.break_after)
        self.push_dtp_data(BrokenProducer(data), isproducer=True, cmd="RETR")
        return file


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True)
    parser.add_argument("--break-after", type=int)
    parser.add_argument("--no-rest", action="store_true")
    parser.add_argument("--digest", action="append", default=[])
    parser.add_argument("--host", default="127.0.0.1")
    options = parser.parse_args()

    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(options.root)
    Handler.authorizer = authorizer
    Handler.break_after = options.break_after
    Handler.no_rest = options.no_rest
    Handler.digests = dict(item.split("=", 1) for item in options.digest)
    server = FTPServer((options.host, 0), Handler)
    print("listening %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
