#!/usr/bin/env python3
"""Writes the harnesses' seed corpora (corpus/NAME/) from replies in the
layouts the stand-in service sends and the tests use. Run once; the files are
committed, and libFuzzer adds its own finds only to a copy (scripts/fuzz)."""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

F, L, B, S = "<fld>", "<ln>", "<blk>", "<subfld>"
TB, TL, TT = "<tvr_blk>", "<tvr_ln>", "<tvr_type_split>"


def visitor(sid, status="In Site", colour="#", name="Guest", page="/index.html"):
    return F.join([sid, "10.0.0.1", "3", status, "0:01:00", name, "Delete", "", "Invite", "BlockIP", "Pro-Pop",
                   page, colour])


OPERATORS = F.join([S.join(["anna", "", "", "Online"]), S.join(["ben", "op77", "op_chat", "Online"]),
                    S.join(["demo", "c9", "Chatting", "Offline"])])

SEEDS = {
    "SplitReply": [b"\x00a<blk>b<blk>", b"\x02<fld><fld>x", b"\x05line<tvr_ln>line<tvr_ln>",
                   b"\x08--\na--b----c--", b"\x06<tvr_type_split>vt", b"\x01"],
    "RefreshReply": [
        B.join([L.join([visitor("s1"), visitor("s2", "Chat Request", "#FF8800", "Zoë"),
                        visitor("s3", "Chatting with: anna", "#00ff00")]), "3", "", "sound1", "", OPERATORS, ""]),
        B.join(["No Users Online", "0", "", "", F.join(["chat_trans", "s9"]), "", ""]),
        B.join([visitor("s1") + F + "extra", "-5", "", "", "", "anna" + S + "Online", ""]),
        B.join([visitor("s1", colour="#GGHHII"), "99999999999999999999", "", "", "", "", ""]),
        "DISCONNNNECT",
    ],
    "ChatPollReply": [
        TL.join(["anna: Hello", "Guest: [:)] see www.example.com"]) + TB + "12" + TB + TB + "sound4" + TT + "vt",
        "Notice: Chat Closed by User." + TB + TB + TB + TT,
        "ben: hi" + TL + "ANNA: hello" + TB + "7" + TB + TB + "sound4",
        "Notice: Chat Closed by Operator." + TB + TB + TB,
        "a" + TB + "8" + TB, "DISCONNNNECT", "",
    ],
    "AcceptReply": [F.join(["true", "Zoë", "zoe@example.com", "Y", "s2"]),
                    F.join(["This chat has already been accepted by anna.", "", "", "", ""]),
                    F.join(["true", "", "", "N", ""]), "DISCONNNNECT", "true" + F],
    "OperatorChatReply": ["anna" + F + "op77", "ben" + F, F + "op1" + F + "more", "DISCONNNNECT", ""],
    "CannedLists": [
        F.join(["Offers" + L + "push-http://shop/offers", "Bags" + L + "http://shop/bags"]) + B +
        F.join([L.join(["Greetings", "Hello", "Hello, how can I help you?"]),
                L.join(["Shop", "Opening", "The Café opens at nine"])]),
        "Help" + L + "http://shop/help" + B, B + "Shop" + L + "Opening", "caf\n" + B + "x" + L + "y" + L + "Café",
    ],
    "VisitorDetails": [F.join(["/index.html", "Firefox", "Linux", "http://ref.example", "1920x1080", "Yes",
                               "+01:00", "en", "France", "IDF", "Paris", "host.example", "Mozilla/5.0", "Zoë",
                               "zoe@example.com", "custom", "fr", "EUR", "2000000"]),
                       F * 18, F * 17, "DISCONNNNECT"],
    "FootPrints": [F.join(["/index.html Time:0:00:30", "/products/item-1.html Time:0:02:10", "/cart.php"]),
                   " Time:", "no-space-at-all", "DISCONNNNECT", F * 3],
    "OperatorEntries": [OPERATORS, S.join(["solo", "", "op_chat_picked", "Online"]), "anna" + S + S + S,
                        S * 4 + F + S * 5, "ANNA" + S + S + S + "Online" + F + "anna" + S + S + S + "Offline"],
    "MessagesReply": ["anna" + L + "hi" + F + "demo" + L + "yo" + B + "sound3", "No new messages." + B,
                      "from demo" + L + "call me" + F + "please" + B + "sound3", "DISCONNNNECT", "plain"],
    "EmoticonScan": ["Hello [:)] and [:(]", "[[:)]", "text [unknown [:)]", "[:D][;)][:P]", "no codes"],
    "LinkDetection": ["see www.example.com, please", "(http://a.example/x_(y))", "mailto:zoe@example.com.",
                      "xwww.a.b https:// ftp://files.example/a?b=c", "HTTP://UPPER.example/\"quoted\""],
    "SettingsFile": [
        "# comment\n[Software\\TVR\\Client]\n0=sz:Default\nTop=sz:1\n[Software\\TVR\\Client\\Login]\n"
        "Secure=sz:1\nData=bin:3fa0\n",
        "garbage line\n=sz:no name\nTop=sz:1\n[Software\\TVR\\Client]\nTop=sz:1\nData=bin:abc\n"
        "Hex=bin:zz\nWeird=what:1\n0=sz:Default\n[\n[]\nLost=sz:x",
        "[Software\\TVR\\Client\\Windows]\nConsole=sz:10,20,640,480\nText=sz:a%25b%0Ac\n",
    ],
    "QueryDecoding": ["action=login&adminid=anna&sid=1001&pwd=a%26b", "msg=%ED%A0%BD%ED%B8%80+ok",
                      "x=%ED%A0%80&y=%FF%FE&=empty&novalue", "a=%3Cfld%3E&b=%", "%ED%B0%80=lone"],
}


def rc4(key, data):
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + key[i % len(key)]) & 0xFF
        s[i], s[j] = s[j], s[i]
    out, i, j = bytearray(), 0, 0
    for byte in data:
        i = (i + 1) & 0xFF
        j = (j + s[i]) & 0xFF
        s[i], s[j] = s[j], s[i]
        out.append(byte ^ s[(s[i] + s[j]) & 0xFF])
    return bytes(out)


def saved_login(record):
    import hashlib
    key = hashlib.md5("Varso".encode("utf-16-le")).digest()[:5] + bytes(11)
    return rc4(key, record.encode("utf-16-le")) + b"\0\0"


def write(name, index, content):
    folder = os.path.join(HERE, "corpus", name)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-%02d" % index), "wb") as f:
        f.write(content if isinstance(content, bytes) else content.encode("utf-8"))


def main():
    for name, seeds in SEEDS.items():
        for i, seed in enumerate(seeds):
            write(name, i, seed)
    for i, seed in enumerate([saved_login("anna<fld>1001<fld>secret"), saved_login("demo<fld>1001<fld>pässwörd"),
                              saved_login("x<fld>y"), bytes.fromhex("00ff13377331deadbeef0102"), b"\x01"]):
        write("SavedLogin", i, seed)
    # Dictionary files made by the dictionary tool from small word lists.
    tool = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "tools", "dict", "talvero-dict")
    for i, words in enumerate([["a", "an", "and", "ant", "Bob", "cat", "cats"], ["Zürich", "café", "naïve"]]):
        listing = os.path.join(HERE, "words.tmp")
        out = os.path.join(HERE, "corpus", "DictionaryFile", "seed-%02d" % i)
        os.makedirs(os.path.dirname(out), exist_ok=True)
        with open(listing, "w", encoding="utf-8") as f:
            f.write("\n".join(words) + "\n")
        subprocess.run([tool, "build", listing, out], check=True)
        os.remove(listing)
    write("DictionaryFile", 2, b"a\x01b\x02c\x00")  # cut short


if __name__ == "__main__":
    main()
