#!/usr/bin/env python3
"""A test dispatch server: speaks the terminal's framed protocol over TCP on loopback.

Frame (both directions): type (1 byte), flag (1 byte, 1 = zlib-compressed payload), id (1 byte),
payload length (4 bytes, big-endian), payload. Types: 10 command, 20 acknowledgement, 100 keep-alive,
101 keep-alive answer.

Usage:  dispatch_server.py [--host ADDRESS] [--port N] [--keepalive-ms N] [--compress] [--wait-seconds N]
                          [--set NAME=VALUE ...] [--full-queue] [--split MODE] [SCRIPT]

It prints "listening PORT" on standard output once it accepts connections (port 0, the default, picks a
free one; --host ::1 listens on the IPv6 loopback instead of 127.0.0.1), then one line per event: "connected", "recv ...", "sent ...", "closed", "done" when the script
is over, "FAIL line N: ..." when the terminal did something else than the script expects. It exits with 0
when the script ran to its end without a failure (on SIGTERM too), 1 otherwise.

With --full-queue it never accepts: it fills its own accept queue with one connection of its own and waits,
so that every further connect hangs (its SYN is dropped) until the connecting side gives up.

Split answers (--split MODE[:NAME,...], else the environment variable MORVIK_DISPATCH_SPLIT of the same form, or
the script step "split MODE [NAME ...]"):
a real server may send its answer to a command over several packets. With MODE "records-first" every answer
that holds a "cmd-result" and other records goes out as two commands with the answer's id, the records (every
other object, in their order) first and the "cmd-result" SPLIT_PAUSE_MS (200) later; with "result-first" the
"cmd-result" first and the records later; "off" (the default) sends each answer whole. With NAMEs only the answers to those
commands are split ("result-first:close-order" splits the close's answer alone). Only answers on a link whose "login"
has been answered are split (the dispatch link of a driver at work); the answer to "login" itself, and the
exchanges of the login, profile and call-sign links, go whole. With MODE "relogin" only the answer to a re-login
(a "login" on a link after an earlier link's "login" was answered: the reconnect) is split, as a server may send
the driver's state after its login result: the session records ("session-...") and the "cmd-result" first, every
other record SPLIT_PAUSE_MS later. It applies to "answer", "reply" and the answers of the automatic mode and of
"always" rules, not to "push".

Whatever the script says, the server always answers a keep-alive (type 100) with type 101 and the same id.
Without a script it serves every connection in automatic mode: each command is acknowledged (type 20,
same id) and answered by a command with the same id carrying the same payload.

A script without steps (comments only) expects no connection: it is over at once, and a connection is a failure.

Script format: one step a line, played in order; "#" starts a comment line; TEXT is the rest of the line,
sent as UTF-8 (use \\n for a line break inside it). In TEXT, ${PORT} stands for the server's own port and
${NAME} for the VALUE given with --set NAME=VALUE (a login server's answer names the port of a dispatch
server started by the same test).

    accept                  wait for the next connection (the script starts with one)
    expect command [TEXT]   wait for a command; with TEXT its payload must be exactly TEXT
    expect command containing TEXT
                            wait for a command whose payload contains TEXT (ids and versions vary)
    expect ack [ID]         wait for an acknowledgement of ID (default: the id of the last push)
    expect keepalive-answer wait for the answer to the last keep-alive sent
    expect close            wait until the terminal closes the connection
    ack                     acknowledge the last command received
    answer [compressed] TEXT    send a command with the id of the last command received
    result [ok|fail]        answer the last command with {"cmd-result":{"cmd-name":NAME,"ok":1}} (or 0),
                            NAME being the first key of that command's payload
    push [compressed] [id=N] TEXT   send a command of the server's own (id 0 unless given)
    burst [compressed] [id=N] COUNT TEXT
                            send COUNT commands of the server's own in one write, each with id N (0 unless
                            given), ${i} in TEXT standing for the command's number, 1 to COUNT
    keepalive [id=N]        send a keep-alive (id 1 unless given)
    raw HEX                 send these bytes as they are (broken frames)
    hold-queue MS           fill the accept queue with a connection of our own for MS milliseconds, so that a
                            connect made meanwhile hangs (its SYN is dropped and sent again later); prints
                            "queue held" when it begins and "queue freed" when it ends
    close                   close the connection
    reply                   answer the last command as the "when" rules given so far answer it
    when [containing] TEXT => ANSWER
                            in the automatic mode that follows, a command containing TEXT is answered with
                            ANSWER instead, where ${cmd.NAME} stands for the command's member NAME (the
                            "s-oid" of {"driver-arrive":{"s-oid":"T1"}}, say); the first rule that matches wins;
                            the rules also answer a "reply" step
    when [containing] TEXT => drop [PUSH]
                            the link dropped at a chosen command: the first command containing TEXT is neither
                            acknowledged nor answered; PUSH, when given, is sent first as a command of the
                            server's own (what applying the command means, its answer lost: say an "odel"),
                            then the connection is closed ("dropped" on the output). The rule drops once; the
                            same command sent again goes to the rules after it
    when dropped [containing] TEXT => ANSWER
                            a rule that counts only once a drop rule has dropped the link, and then comes before
                            every other rule: the state after the drop, such as the answer to the reconnect's
                            "login" without an order that the dropped command closed
    auto [result | TEXT]    from here on: acknowledge and answer every command (with a successful "cmd-result"
                            naming it, with TEXT, or with its own payload), until the terminal closes the
                            connection; then wait for the next connection and serve it the same way
    split MODE [NAME ...]   from here on, answers (to the named commands only, when names are given) are split
                            as MODE says ("records-first", "result-first", "relogin" or "off"; see above); MODE and
                            NAME may be ${NAME} values
    sleep MS                pause MS milliseconds (a push a while after a command); what the terminal sends
                            meanwhile is kept for the steps that follow, keep-alives and "always" commands are
                            answered
    always NAME ANSWER      from here on, on this connection and every later one, each command whose first key
                            is NAME is acknowledged and answered with ANSWER ({} or any TEXT) whenever it comes,
                            whatever step waits; a script with such a rule goes on serving the link after its
                            end, and any other command then is a failure

While a step waits, acknowledgements and keep-alive answers that it does not wait for are passed over; a
command that it does not wait for is a failure. Every wait ends after 10 seconds with a failure (--wait-seconds N
sets the limit; 0 waits without one, for a person driving the terminal).
"""

import argparse
import json
import os
import signal
import socket
import struct
import sys
import time
import zlib

COMMAND, ACK, KEEPALIVE, KEEPALIVE_ANSWER = 10, 20, 100, 101
NAMES = {COMMAND: "command", ACK: "ack", KEEPALIVE: "keepalive", KEEPALIVE_ANSWER: "keepalive-answer"}
WAIT_SECONDS = 10.0  # --wait-seconds; None: no limit
SPLIT_MODES = ("off", "records-first", "result-first", "relogin")
SPLIT = "off"  # --split, MORVIK_DISPATCH_SPLIT or the "split" step
SPLIT_ONLY = None  # the command names whose answers are split; None: every command's
SPLIT_PAUSE_MS = 200  # between the two parts of a split answer
LOGINS_ANSWERED = 0  # "login" commands answered so far, on every link


class ScriptFailure(Exception):
    pass


class Drop:
    """The answer of a drop rule: PUSH (or nothing) sent, then the link closed."""

    def __init__(self, push):
        self.push = push


class LinkClosed(Exception):
    pass


def wait_deadline():
    return None if WAIT_SECONDS is None else time.monotonic() + WAIT_SECONDS


def say(text):
    print(text, flush=True)


def wait_for_stop():
    """Sleeps until SIGTERM or SIGINT ends the process. Not signal.pause(): a signal that comes just before the
    pause begins is handled only after it, so the pause would wait for a second one."""
    while True:
        time.sleep(0.1)


def frame(kind, packet_id, payload=b"", compressed=False):
    if compressed:
        payload = zlib.compress(payload)
    return struct.pack(">BBBI", kind, 1 if compressed else 0, packet_id, len(payload)) + payload


def json_objects(payload):
    """The top-level JSON objects of a payload, each as its text (bytes); None when it is not a row of objects."""
    text = payload.decode("utf-8")
    decoder = json.JSONDecoder()
    objects, at = [], 0
    while True:
        while at < len(text) and text[at].isspace():
            at += 1
        if at == len(text):
            return objects
        try:
            value, end = decoder.raw_decode(text, at)
        except ValueError:
            return None
        if not isinstance(value, dict):
            return None
        objects.append((next(iter(value), ""), text[at:end].encode("utf-8")))
        at = end


def split_relogin(payload):
    """The parts of a re-login's answer under SPLIT "relogin": the session and the result, then the rest."""
    objects = json_objects(payload)
    if not objects:
        return [payload]
    first = b"".join(text for name, text in objects if name == "cmd-result" or name.startswith("session-"))
    rest = b"".join(text for name, text in objects if not (name == "cmd-result" or name.startswith("session-")))
    return [first, rest] if first and rest else [payload]


def split_answer(payload, command, logged_in, relogin=False):
    """The parts of an answer to send one after the other under SPLIT: [payload] when it goes whole. relogin: the
    command is a "login" after an earlier link's one was answered."""
    name = command_name(command)
    if SPLIT == "relogin":
        return split_relogin(payload) if relogin and name == "login" else [payload]
    if SPLIT == "off" or not logged_in or name == "login" or (SPLIT_ONLY is not None and name not in SPLIT_ONLY):
        return [payload]
    objects = json_objects(payload)
    if not objects:
        return [payload]
    names = [name for name, _ in objects]
    if "cmd-result" not in names:
        return [payload]
    at = names.index("cmd-result")
    result = b"".join(text for _, text in objects[at:at + 1])
    records = b"".join(text for _, text in objects[:at] + objects[at + 1:])
    if not records:
        return [payload]
    return [records, result] if SPLIT == "records-first" else [result, records]


def describe(kind, flag, packet_id, payload):
    text = payload.decode("utf-8", "replace")
    return "%s id=%d flag=%d len=%d %s" % (NAMES.get(kind, str(kind)), packet_id, flag, len(payload), text)


class Link:
    """One accepted connection: reads frames, answers keep-alives, sends frames."""

    def __init__(self, conn, compress, keepalive_ms, always=None):
        self.conn = conn
        self.buffer = b""
        # "always" rules (command name -> answer), shared with the server; packets that a pause kept.
        self.always = always if always is not None else {}
        self.pending = []
        self.compress = compress
        self.keepalive_ms = keepalive_ms
        self.next_keepalive = time.monotonic() + keepalive_ms / 1000.0 if keepalive_ms else None
        self.last_command_id = 0
        self.last_command = b""
        self.last_push_id = 0
        self.last_keepalive_id = 0
        self.logged_in = False  # a "login" was answered on this link
        self.relogin = LOGINS_ANSWERED > 0  # an earlier link's "login" was answered: a login here is a re-login

    def send(self, kind, packet_id, payload=b"", compressed=None):
        compressed = self.compress if compressed is None else compressed
        compressed = compressed and kind == COMMAND
        say("sent " + describe(kind, 1 if compressed else 0, packet_id, payload))
        try:
            self.conn.sendall(frame(kind, packet_id, payload, compressed))
        except OSError:
            # The terminal went away (a broken pipe or a reset) while we sent: the link is closed.
            raise LinkClosed()

    def send_answer(self, packet_id, payload, command, compressed=None):
        """The answer to a command, split as SPLIT says."""
        global LOGINS_ANSWERED
        parts = split_answer(payload, command, self.logged_in, self.relogin)
        if command_name(command) == "login":
            self.logged_in = True
            LOGINS_ANSWERED += 1
        for number, part in enumerate(parts):
            if number:
                say("split pause")
                time.sleep(SPLIT_PAUSE_MS / 1000.0)
            self.send(COMMAND, packet_id, part, compressed)

    def send_burst(self, packet_id, payloads, compressed=None):
        """Several commands in one write, as a server pushing its backlog does."""
        compressed = self.compress if compressed is None else compressed
        data = b""
        for payload in payloads:
            say("sent " + describe(COMMAND, 1 if compressed else 0, packet_id, payload))
            data += frame(COMMAND, packet_id, payload, compressed)
        try:
            self.conn.sendall(data)
        except OSError:
            raise LinkClosed()

    def send_keepalive(self, packet_id=1):
        self.last_keepalive_id = packet_id
        self.send(KEEPALIVE, packet_id)

    def read_packet(self, deadline):
        """The next packet other than a keep-alive or an "always" command (both answered here); None at the
        deadline."""
        if self.pending:
            return self.pending.pop(0)
        while True:
            if len(self.buffer) >= 7:
                kind, flag, packet_id, length = struct.unpack(">BBBI", self.buffer[:7])
                if len(self.buffer) >= 7 + length:
                    payload = self.buffer[7:7 + length]
                    self.buffer = self.buffer[7 + length:]
                    if flag == 1:
                        payload = zlib.decompress(payload)
                    say("recv " + describe(kind, flag, packet_id, payload))
                    if kind == KEEPALIVE:
                        self.send(KEEPALIVE_ANSWER, packet_id)
                        continue
                    if kind == COMMAND and self.always and command_name(payload) in self.always:
                        self.send(ACK, packet_id)
                        self.send_answer(packet_id, self.always[command_name(payload)], payload)
                        continue
                    return kind, packet_id, payload
            now = time.monotonic()
            if self.next_keepalive is not None and now >= self.next_keepalive:
                self.send_keepalive()
                self.next_keepalive = now + self.keepalive_ms / 1000.0
            if deadline is not None and now >= deadline:
                return None
            wakes = [t for t in (deadline, self.next_keepalive) if t is not None]
            self.conn.settimeout(max(min(wakes) - now, 0.001) if wakes else None)
            try:
                data = self.conn.recv(65536)
            except socket.timeout:
                continue
            except OSError:
                data = b""
            if not data:
                raise LinkClosed()
            self.buffer += data

    def wait_for(self, kind, wanted_id=None):
        deadline = wait_deadline()
        while True:
            got = self.read_packet(deadline)
            if got is None:
                raise ScriptFailure("timed out waiting for " + NAMES[kind])
            got_kind, packet_id, payload = got
            if got_kind == kind and (wanted_id is None or packet_id == wanted_id):
                return packet_id, payload
            if got_kind == COMMAND:
                raise ScriptFailure("unexpected " + describe(got_kind, 0, packet_id, payload))

    def pause(self, seconds):
        """Serves the link for this long, keeping every packet that a later step may wait for."""
        deadline = time.monotonic() + seconds
        kept = []
        while True:
            got = self.read_packet(deadline)
            if got is None:
                break
            kept.append(got)
        self.pending = kept

    def serve_auto(self, answer_of):
        while True:
            kind, packet_id, payload = self.read_packet(None)
            if kind == COMMAND:
                answer = answer_of(payload)
                if isinstance(answer, Drop):
                    self.drop(answer)
                self.send(ACK, packet_id)
                self.send_answer(packet_id, answer, payload)

    def drop(self, rule):
        """Sends the rule's push, if any, and closes the connection; the link is closed from then on."""
        if rule.push:
            self.send(COMMAND, 0, rule.push)
        say("dropped")
        try:
            self.conn.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.conn.close()
        raise LinkClosed()


def parse_text(rest, values=None):
    for name, value in (values or {}).items():
        rest = rest.replace("${%s}" % name, value)
    return rest.replace("\\n", "\n").encode("utf-8")


def command_name(payload):
    """The first key of a command's JSON object, or an empty text."""
    try:
        decoded = json.JSONDecoder().raw_decode(payload.decode("utf-8").lstrip())[0]
    except ValueError:
        return ""
    return next(iter(decoded), "") if isinstance(decoded, dict) else ""


def fill_command_fields(text, payload):
    """The answer of a "when" rule: each ${cmd.NAME} becomes the command's member NAME (a text as it is, other
    values as JSON)."""
    try:
        decoded = json.JSONDecoder().raw_decode(payload.decode("utf-8").lstrip())[0]
        members = next(iter(decoded.values())) if isinstance(decoded, dict) and decoded else {}
    except ValueError:
        members = {}
    for name, value in (members.items() if isinstance(members, dict) else []):
        shown = value if isinstance(value, str) else json.dumps(value, ensure_ascii=False, separators=(",", ":"))
        text = text.replace("${cmd.%s}" % name, shown)
    return text.encode("utf-8")


def result_of(payload, ok):
    """{"cmd-result":{"cmd-name":NAME,"ok":1}} (or 0) for a command, NAME being its first key."""
    result = {"cmd-name": command_name(payload), "ok": 1 if ok else 0}
    return json.dumps({"cmd-result": result}, separators=(",", ":")).encode("utf-8")


def parse_options(words):
    """Leading "compressed" and "id=N" words of a step; returns (compressed, id, remaining text)."""
    compressed, packet_id = None, None
    while words:
        if words[0] == "compressed":
            compressed = True
        elif words[0].startswith("id="):
            packet_id = int(words[0][3:])
        else:
            break
        words = words[1:]
    return compressed, packet_id, " ".join(words)


def load_script(path):
    steps = []
    with open(path, encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            line = line.strip()
            if line and not line.startswith("#"):
                steps.append((number, line))
    return steps


class Server:
    def __init__(self, host, port, script, compress, keepalive_ms, values=None):
        family = socket.AF_INET6 if ":" in host else socket.AF_INET
        self.listener = socket.socket(family, socket.SOCK_STREAM)
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind((host, port))
        self.listener.listen(4)
        self.values = dict(values or {})
        self.values["PORT"] = str(self.listener.getsockname()[1])
        self.script = script
        self.compress = compress
        self.keepalive_ms = keepalive_ms
        self.link = None
        self.failed = False
        self.finished = script is None
        self.at = ""  # the step under way, for the message of a stop before the end
        # "when" rules of the automatic mode: [text the command contains, answer with ${cmd.NAME} left in, kind:
        # "answer", "drop" (then "spent") or "dropped"].
        self.rules = []
        # "always" rules: command name -> answer, for every connection from the step on.
        self.always = {}
        # A drop rule has dropped the link: the "when dropped" rules count.
        self.dropped = False

    def accept(self):
        if self.link:
            self.link.conn.close()
        conn, _ = self.listener.accept()
        conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        say("connected")
        self.link = Link(conn, self.compress, self.keepalive_ms, self.always)

    def step(self, line):
        words = line.split()
        verb, args = words[0], words[1:]
        link = self.link
        if verb == "accept":
            self.accept()
        elif verb == "expect":
            what = args[0] if args else ""
            if what == "command":
                packet_id, payload = link.wait_for(COMMAND)
                link.last_command_id, link.last_command = packet_id, payload
                containing = len(args) > 1 and args[1] == "containing"
                text = " ".join(args[2:] if containing else args[1:])
                wanted = parse_text(text, self.values)
                if containing and wanted not in payload:
                    raise ScriptFailure("command %r, expected one containing %r"
                                        % (payload.decode("utf-8", "replace"), text))
                if not containing and len(args) > 1 and payload != wanted:
                    raise ScriptFailure("command %r, expected %r" % (payload.decode("utf-8", "replace"), text))
            elif what == "ack":
                link.wait_for(ACK, int(args[1]) if len(args) > 1 else link.last_push_id)
            elif what == "keepalive-answer":
                link.wait_for(KEEPALIVE_ANSWER, link.last_keepalive_id)
            elif what == "close":
                deadline = wait_deadline()
                try:
                    while True:
                        got = link.read_packet(deadline)
                        if got is None or got[0] == COMMAND:
                            break
                except LinkClosed:
                    say("closed")
                    return
                raise ScriptFailure("the link stayed open" if got is None else "command before the close")
            else:
                raise ScriptFailure("unknown expectation " + what)
        elif verb == "ack":
            link.send(ACK, link.last_command_id)
        elif verb == "answer":
            compressed, _, text = parse_options(args)
            link.send_answer(link.last_command_id, parse_text(text, self.values), link.last_command, compressed)
        elif verb == "result":
            link.send(COMMAND, link.last_command_id, result_of(link.last_command, not (args and args[0] == "fail")))
        elif verb == "push":
            compressed, packet_id, text = parse_options(args)
            link.last_push_id = packet_id or 0
            link.send(COMMAND, link.last_push_id, parse_text(text, self.values), compressed)
        elif verb == "burst":
            compressed, packet_id, rest = parse_options(args)
            count, _, text = rest.partition(" ")
            if not count.isdigit() or not text:
                raise ScriptFailure("a burst step needs COUNT TEXT")
            link.last_push_id = packet_id or 0
            payloads = [parse_text(text.replace("${i}", str(n)), self.values) for n in range(1, int(count) + 1)]
            link.send_burst(link.last_push_id, payloads, compressed)
        elif verb == "keepalive":
            _, packet_id, _ = parse_options(args)
            link.send_keepalive(1 if packet_id is None else packet_id)
        elif verb == "raw":
            data = bytes.fromhex("".join(args))
            say("sent raw " + data.hex())
            link.conn.sendall(data)
        elif verb == "hold-queue":
            self.listener.listen(0)
            filler = socket.create_connection(self.listener.getsockname()[:2])
            say("queue held")
            time.sleep(int(args[0]) / 1000.0)
            conn, _ = self.listener.accept()  # the filler: nothing else got through
            conn.close()
            filler.close()
            self.listener.listen(4)
            say("queue freed")
        elif verb == "close":
            link.conn.close()
            self.link = None
            say("closed")
        elif verb == "reply":
            answer = self.with_rules(lambda payload: None)(link.last_command)
            if answer is None:
                raise ScriptFailure("no when rule answers %r" % link.last_command.decode("utf-8", "replace"))
            if isinstance(answer, Drop):
                try:
                    link.drop(answer)
                except LinkClosed:
                    self.link = None
                    return
            link.send_answer(link.last_command_id, answer, link.last_command)
        elif verb == "when":
            after_drop = bool(args) and args[0] == "dropped"
            args = args[1:] if after_drop else args
            rule = " ".join(args[1:] if args and args[0] == "containing" else args)
            if " => " not in rule:
                raise ScriptFailure("a when step needs TEXT => ANSWER")
            needle, answer = rule.split(" => ", 1)
            kind = "answer"
            if answer == "drop" or answer.startswith("drop "):
                if after_drop:
                    raise ScriptFailure("a when dropped rule cannot drop again")
                kind, answer = "drop", answer[len("drop"):].strip()
            elif after_drop:
                kind = "dropped"
            self.rules.append([parse_text(needle, self.values), parse_text(answer, self.values).decode("utf-8"), kind])
        elif verb == "sleep":
            if len(args) != 1 or not args[0].isdigit():
                raise ScriptFailure("a sleep step needs MS")
            if link:
                link.pause(int(args[0]) / 1000.0)
            else:
                time.sleep(int(args[0]) / 1000.0)
        elif verb == "split":
            global SPLIT, SPLIT_ONLY
            args = parse_text(" ".join(args), self.values).decode("utf-8").split()
            if not args or args[0] not in SPLIT_MODES:
                raise ScriptFailure("a split step needs one of " + ", ".join(SPLIT_MODES))
            SPLIT, SPLIT_ONLY = args[0], (set(args[1:]) or None)
        elif verb == "always":
            if len(args) < 2:
                raise ScriptFailure("an always step needs NAME ANSWER")
            self.always[args[0]] = parse_text(" ".join(args[1:]), self.values)
        elif verb == "auto":
            self.finished = True
            say("done")
            if args == ["result"]:
                self.serve_forever(self.with_rules(lambda payload: result_of(payload, True)))
            elif args:
                fixed = parse_text(" ".join(args), self.values)
                self.serve_forever(self.with_rules(lambda payload: fixed))
            else:
                self.serve_forever(self.with_rules(lambda payload: payload))
        else:
            raise ScriptFailure("unknown step " + verb)

    def with_rules(self, answer_of):
        """The automatic answer, unless a "when" rule names the command: once a drop rule has dropped the link,
        the "when dropped" rules first; a drop rule drops once (then it is spent)."""
        def answer(payload):
            if self.dropped:
                for needle, text, kind in self.rules:
                    if kind == "dropped" and needle in payload:
                        return fill_command_fields(text, payload)
            for rule in self.rules:
                needle, text, kind = rule
                if kind == "dropped" or needle not in payload:
                    continue
                if kind == "drop":
                    rule[2] = "spent"
                    self.dropped = True
                    return Drop(fill_command_fields(text, payload) if text else b"")
                if kind == "answer":
                    return fill_command_fields(text, payload)
            return answer_of(payload)
        return answer

    def serve_forever(self, answer_of=lambda payload: payload):
        while True:
            if self.link is None:
                self.accept()
            try:
                self.link.serve_auto(answer_of)
            except LinkClosed:
                say("closed")
                self.link.conn.close()
                self.link = None

    def run(self):
        if self.script is None:
            self.serve_forever()
        if not self.script:
            self.finished = True
            say("done")
            self.listener.accept()
            self.fail("a connection, though the script expects none")
        self.at = "line %d: %s" % self.script[0]
        self.accept()
        for number, line in self.script:
            self.at = "line %d: %s" % (number, line)
            try:
                self.step(line)
            except ScriptFailure as failure:
                self.fail("line %d: %s" % (number, failure))
                return
            except (LinkClosed, OSError) as error:
                self.fail("line %d: the link closed (%s)" % (number, error.__class__.__name__))
                return
        self.finished = True
        say("done")
        if self.always and self.link:
            self.serve_after_end()
        # Keep the link as it is until told to stop.
        wait_for_stop()

    def serve_after_end(self):
        """Answers keep-alives and "always" commands until the terminal closes the link; any other command is a
        failure (nothing more was to come)."""
        try:
            got = self.link.read_packet(None)
            while got is not None and got[0] != COMMAND:
                got = self.link.read_packet(None)
        except (LinkClosed, OSError):
            say("closed")
            return
        if got is not None:
            self.fail("after the end: unexpected " + describe(COMMAND, 0, got[1], got[2]))

    def fill_queue(self):
        """Leaves room for no connection in the accept queue, then takes it with one of our own."""
        self.listener.listen(0)
        self.filler = socket.create_connection(self.listener.getsockname()[:2])
        self.finished = True

    def fail(self, text):
        self.failed = True
        say("FAIL " + text)
        wait_for_stop()


def main():
    global WAIT_SECONDS, SPLIT, SPLIT_ONLY
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", default="127.0.0.1", help="the loopback address to listen on")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--full-queue", action="store_true", help="accept nothing; every connect hangs")
    parser.add_argument("--keepalive-ms", type=int, default=0, help="send a keep-alive this often")
    parser.add_argument("--compress", action="store_true", help="compress every command payload sent")
    parser.add_argument("--wait-seconds", type=float, default=WAIT_SECONDS,
                        help="how long a step waits for the terminal before it fails (0: no limit)")
    parser.add_argument("--set", action="append", default=[], metavar="NAME=VALUE",
                        help="a value that ${NAME} stands for in the script's texts")
    parser.add_argument("--split", default=None, metavar="MODE[:NAME,...]",
                        help="send answers (to the named commands) in two parts: records-first or result-first; "
                             "relogin: a re-login's answer as the session and result, then the rest "
                             "(default: MORVIK_DISPATCH_SPLIT, else off)")
    parser.add_argument("script", nargs="?")
    options = parser.parse_args()

    if options.wait_seconds < 0:
        parser.error("--wait-seconds is 0 or more")
    WAIT_SECONDS = options.wait_seconds or None
    split = options.split or os.environ.get("MORVIK_DISPATCH_SPLIT") or "off"
    SPLIT, _, names = split.partition(":")
    SPLIT_ONLY = set(name for name in names.split(",") if name) or None
    if SPLIT not in SPLIT_MODES:
        parser.error("the split mode is one of " + ", ".join(SPLIT_MODES))
    values = dict(item.split("=", 1) for item in options.set)
    server = Server(options.host, options.port, load_script(options.script) if options.script else None, options.compress,
                    options.keepalive_ms, values)

    def stop(*_):
        if not server.finished and not server.failed:
            say("FAIL stopped before the script ended, at " + server.at)
        sys.exit(0 if server.finished and not server.failed else 1)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    if options.full_queue:
        server.fill_queue()
        say("listening %d" % server.listener.getsockname()[1])
        wait_for_stop()
    say("listening %d" % server.listener.getsockname()[1])
    server.run()


if __name__ == "__main__":
    main()
