#!/usr/bin/env python3
"""Writes the seed inputs of the endpoint frame and registry value fuzzers: a few well-formed requests as a
process sends them to another's endpoint (after the byte that sets the fuzzer's piece size), and values of
each type as the program stores them (four bytes of type, then the data). Usage: fuzz/seed_inputs.py"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, 'corpus', folder), exist_ok=True)
    with open(os.path.join(HERE, 'corpus', folder, name), 'wb') as f:
        f.write(data)


def frame(kind, message=0, target=0, wparam=0, lparam=0, payload=b''):
    return struct.pack('<IIQQqII', kind, message, target, wparam, lparam, len(payload), 0) + payload


WINDOW = (4242 << 32) | 7  # a window handle of process 4242
write('frames', 'post', b'\x07' + frame(1, 0x0401, WINDOW, 12))
write('frames', 'send_registered', b'\x00' + frame(2, 0xC123, WINDOW, 5, 1))
write('frames', 'activate', b'\x27' + frame(3, target=WINDOW))
write('frames', 'callback', b'\x03' + frame(4, target=9, payload=struct.pack('<I', 7)))
write('frames', 'callback_deleted', b'\x10' + frame(4, target=9, wparam=1))
write('frames', 'idle', b'\xff' + frame(5))
write('frames', 'automation_type', b'\x05' + frame(6, 5, payload='Grüße'.encode('utf-16-le')))
write('frames', 'clock_moved', b'\x01' + frame(7))


def value(kind, data):
    return struct.pack('<I', kind) + data


write('registry_values', 'string', value(1, 'Family\0'.encode('utf-16-le')))
write('registry_values', 'string_unterminated', value(1, 'Family'.encode('utf-16-le')))
write('registry_values', 'binary_time', value(3, struct.pack('<8H', 2008, 6, 0, 15, 9, 30, 0, 0)))
write('registry_values', 'dword', value(4, struct.pack('<I', 7)))
write('registry_values', 'multi', value(7, 'a\0b\0\0'.encode('utf-16-le')))
write('registry_values', 'odd_string', value(2, b'x\0y'))
