#!/usr/bin/env python3
"""Writes a small volume without a password (a plain SQLite file of the volume's layout) as a seed for the
volume fuzzer: one database of four properties sorted newest first, a second with two sort orders, and a
few records of every value type. Usage: fuzz/seed_volume.py OUT_FILE"""
import sqlite3
import struct
import sys


def prop(pid, payload):
    return struct.pack('<II', pid, len(payload)) + payload


def record(kind, time, text, read):
    return (prop(0x00010003, struct.pack('<i', kind)) + prop(0x00020040, struct.pack('<Q', time)) +
            prop(0x0007001F, text.encode('utf-16-le')) + prop(0x0008000B, struct.pack('<i', read)))


def key_desc_time(time):
    return b'\x01' + bytes(255 - b for b in struct.pack('>Q', time))


out = sys.argv[1]
db = sqlite3.connect(out)
db.executescript('''
PRAGMA page_size=1024;
CREATE TABLE databases(oid INTEGER PRIMARY KEY, name TEXT NOT NULL, type INTEGER NOT NULL, modified INTEGER NOT NULL);
CREATE TABLE properties(db INTEGER NOT NULL, position INTEGER NOT NULL, id INTEGER NOT NULL, flags INTEGER NOT NULL,
                        name TEXT NOT NULL, PRIMARY KEY(db, position));
CREATE TABLE sort_orders(db INTEGER NOT NULL, position INTEGER NOT NULL, key_flags INTEGER NOT NULL,
                         properties BLOB NOT NULL, PRIMARY KEY(db, position));
PRAGMA application_id=1162101334;
PRAGMA user_version=1;
''')
db.execute("INSERT INTO databases VALUES(1, 'SMS', 0, 0)")
for i, pid in enumerate([0x00010003, 0x00020040, 0x0007001F, 0x0008000B]):
    db.execute('INSERT INTO properties VALUES(1, ?, ?, ?, ?)', (i, pid, 1 if i < 2 else 0, ''))
db.execute('INSERT INTO sort_orders VALUES(1, 0, 0, ?)', (struct.pack('<II', 0x00020040, 1),))
db.execute('CREATE TABLE r1(oid INTEGER PRIMARY KEY, k0 BLOB NOT NULL, props BLOB NOT NULL)')
db.execute('CREATE INDEX r1_k0 ON r1(k0)')
for i, text in enumerate(['hello', 'caf\u00e9 \U0001F600', '']):
    time = 128580444000000000 - i * 600000000
    db.execute('INSERT INTO r1(k0, props) VALUES(?, ?)', (key_desc_time(time), record(i % 2, time, text, i % 2)))
db.execute("INSERT INTO databases VALUES(2, 'Numbers', 7, 0)")
for i, pid in enumerate([0x00010002, 0x00020012, 0x00030005, 0x00040013, 0x00050041]):
    db.execute('INSERT INTO properties VALUES(2, ?, ?, 0, ?)', (i, pid, 'p%d' % i))
db.execute('INSERT INTO sort_orders VALUES(2, 0, 512, ?)', (struct.pack('<IIII', 0x00010002, 4, 0x00030005, 2),))
db.execute('INSERT INTO sort_orders VALUES(2, 1, 0, ?)', (struct.pack('<II', 0x00040013, 1),))
db.execute('CREATE TABLE r2(oid INTEGER PRIMARY KEY, k0 BLOB NOT NULL, k1 BLOB NOT NULL, props BLOB NOT NULL)')
db.execute('CREATE UNIQUE INDEX r2_k0 ON r2(k0)')
db.execute('CREATE INDEX r2_k1 ON r2(k1)')
for i in range(3):
    props = (prop(0x00010002, struct.pack('<h', -i)) + prop(0x00020012, struct.pack('<H', i)) +
             prop(0x00030005, struct.pack('<d', i / 3)) + prop(0x00040013, struct.pack('<I', i)) +
             prop(0x00050041, bytes([i] * i)))
    db.execute('INSERT INTO r2(k0, k1, props) VALUES(?, ?, ?)', (bytes([1, i]), bytes([1, 255 - i]), props))
db.commit()
db.close()
