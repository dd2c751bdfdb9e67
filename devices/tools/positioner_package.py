#!/usr/bin/env python3
"""Writes the Ravik positioner package into devices/positioner.

    python3 devices/tools/positioner_package.py [OUTPUT_DIR]

Produces "Ravik.zor" (device description), "Ravik_HART.dct" (language file),
the panel bitmaps, "Ravik_PROGRAM_DTM.ico" and "simulator-profile.xml" from
the tables in positioner_model.py and positioner_texts.py. The DTM
description and the quick start text are kept by hand. The script refuses to
write anything when the tables are inconsistent (a text that the language
file format cannot carry, a key without a text, a command item naming an
unknown parameter).
"""

import os
import sys
from xml.sax.saxutils import escape, quoteattr

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import positioner_bitmaps  # noqa: E402
import positioner_model as model  # noqa: E402
from positioner_texts import TEXTS  # noqa: E402

DEVICE_NS = 'http://hartdtm.invalid/device_description'


def all_params():
    out = []

    def walk(params):
        for q in params:
            out.append(q)
            walk(q.components)
    for _, _, params in model.BLOCKS:
        walk(params)
    return out


def fmt_number(v):
    if isinstance(v, float) and v.is_integer():
        v = int(v)
    return str(v)


def restriction_xml(q, ind):
    rows = []

    def const(kind, text):
        rows.append('%s<user:%s><user:constant>%s</user:constant></user:%s>' % (ind + '  ', kind, escape(text), kind))

    def ptr(kind, pid):
        rows.append('%s<user:%s><user:pointer reference_id="%d"/></user:%s>' % (ind + '  ', kind, pid, kind))

    if q.default is not None:
        const('default', q.default)
    if q.value_pointer is not None:
        ptr('value', q.value_pointer)
    if q.range_constant():
        const('range', q.range_constant())
    if q.scaling:
        const('scaling_factor', q.scaling)
    for kind, limit in (('lower_limit', q.lo), ('upper_limit', q.hi)):
        if limit is None:
            continue
        if isinstance(limit, tuple):
            ptr(kind, limit[1])
        else:
            const(kind, fmt_number(limit))
    if q.unit == model.PRESSURE:
        ptr('unit', model.ID_PRESSURE_UNIT)
    elif q.unit is not None:
        ptr('unit', model.UNIT_PARAMS[q.unit][0])
    if not rows:
        return []
    return [ind + '<user:restriction>'] + rows + [ind + '</user:restriction>']


def data_type_xml(q, ind):
    inner = []
    if q.array:
        inner.append('<user:array_type element_count="%d"/>' % len(q.components))
    if q.bits:
        inner.append('<user:bit_range_type lower_index="%d" upper_index="%d"/>' % q.bits)
    elif q.type != 'pointer':
        inner.append('<user:sized_type size="%d"/>' % q.size)
    return ['%s<user:data_type type_name="%s">%s</user:data_type>' % (ind, q.type, ''.join(inner))]


def parameter_xml(q, ind, element='parameter', parent=None):
    if parent is not None and (q.writable, q.dynamic) != (parent.writable, parent.dynamic):
        # The engine answers access and storage of a component from its parent.
        raise SystemExit('component %d must share the access and storage of %d' % (q.id, parent.id))
    lines = ['%s<user:%s reference_id="%d" name=%s label=%s>' % (ind, element, q.id, quoteattr(q.name),
                                                                  quoteattr(q.label))]
    i2 = ind + '  '
    lines.append(i2 + '<user:description></user:description>')
    lines += data_type_xml(q, i2)
    lines.append('%s<user:access readable="true" writable="%s"/>' % (i2, 'true' if q.writable else 'false'))
    lines.append('%s<user:storage dynamic="%s"/>' % (i2, 'true' if q.dynamic else 'false'))
    if q.code is not None:
        lines.append('%s<user:addressing><user:code_hart>%d</user:code_hart></user:addressing>' % (i2, q.code))
    lines += restriction_xml(q, i2)
    for c in q.components:
        lines += parameter_xml(c, i2, 'component', q)
    lines.append('%s</user:%s>' % (ind, element))
    return lines


def command_xml(number, description, query, reply, by_id, ind):
    i2, i3 = ind + '  ', ind + '    '
    lines = ['%s<user:action_hart>' % ind,
             '%s<user:addressing><user:code_hart>%d</user:code_hart><user:index>0</user:index></user:addressing>'
             % (i2, number),
             '%s<user:description>%s</user:description>' % (i2, escape(description))]
    qlen = sum(by_id[i].size for i in query)
    lines.append('%s<user:query byte_count="%d">' % (i2, qlen) if query else '%s<user:query byte_count="0"/>' % i2)
    for pid in query:
        lines.append('%s<user:action_item referenced_parameter="%d"/>' % (i3, pid))
    if query:
        lines.append(i2 + '</user:query>')
    pos = 0
    body = []
    for pid in reply:
        size = by_id[pid].size
        body.append('%s<user:action_item referenced_parameter="%d" position="%d" size="%d" reference_type=""/>'
                    % (i3, pid, pos, size))
        pos += size
    if body:
        lines += ['%s<user:reply byte_count="%d">' % (i2, pos)] + body + [i2 + '</user:reply>']
    else:
        lines.append('%s<user:reply byte_count="0"/>' % i2)
    lines.append(ind + '</user:action_hart>')
    return lines


def description_xml():
    params = all_params()
    by_id = {q.id: q for q in params}
    for number, _, query, reply in model.COMMANDS:
        for pid in query + reply:
            if pid not in by_id:
                raise SystemExit('command %d names unknown parameter %d' % (number, pid))
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<!-- Ravik digital valve positioner, HART: parameters and commands of the device.',
           '     Written by devices/tools/positioner_package.py; edit the tables there. -->',
           '<user:device_description xmlns:user="%s" device="Ravik" manufacturer_id="%d" device_type="%d">'
           % (DEVICE_NS, model.MANUFACTURER_ID, model.DEVICE_TYPE)]
    for interface in ('hart', 'internal'):
        out.append('  <user:device_interface bus_type="%s">' % interface)
        for intf, name, block_params in model.BLOCKS:
            if intf != interface:
                continue
            if name is None:
                for q in block_params:
                    out += parameter_xml(q, '    ')
                continue
            out.append('    <user:block name=%s>' % quoteattr(name))
            for q in block_params:
                out += parameter_xml(q, '      ')
            out.append('    </user:block>')
        if interface == 'hart':
            out.append('    <user:block name="HART commands">')
            for number, description, query, reply in model.COMMANDS:
                out += command_xml(number, description, query, reply, by_id, '      ')
            out.append('    </user:block>')
        out.append('  </user:device_interface>')
    out.append('</user:device_description>')
    return '\n'.join(out) + '\n'


FORBIDDEN = ('"', '|', '//', '/*', '\n', '\r')


def language_entries():
    """Every key with its English and German text, checked against the format."""
    entries = dict(TEXTS)
    for q in all_params():
        for key, texts in ((q.label, (q.en, q.de)), (q.label + '_HELP', (q.hen, q.hde))):
            if key in entries and entries[key] != texts:
                raise SystemExit('key %s has two different texts' % key)
            entries[key] = texts
        for _, text_key in (q.enum or []):
            if text_key not in entries:
                raise SystemExit('enumeration text %s of %d has no translation' % (text_key, q.id))
    for key, texts in entries.items():
        for t in texts:
            if not t.strip() or any(f in t for f in FORBIDDEN):
                raise SystemExit('text of %s cannot be carried by the language file: %r' % (key, t))
        if key != key.strip() or not key or '\n' in key:
            raise SystemExit('bad key %r' % key)
    return entries


def language_file(entries):
    out = ['// Ravik HART DTM: English and German texts, one entry per key.',
           '// Written by devices/tools/positioner_package.py; edit the tables there.',
           '']
    for n, (key, (en, de)) in enumerate(entries.items(), start=1):
        out += ['[%04d] %s' % (n, key), '|en| ' + en, '|de| ' + de, '']
    return '\n'.join(out)


SIMULATOR_VALUES = {
    model.ID_TAG: 'FV-2041', 1331626720: 'FEED WATER VALVE', 1031198652: 'COMMISSIONED 2024',
    1085386367: '4711', 444726575: '120417', 480012922: '0',
    698020263: '12.0', 196666074: '50.2', 1023235601: '50.0', 44816747: '24.8', 573452228: '11.9',
    1263913321: '45.3', 808165504: '20.4', 910920976: '285', 728053547: '-52', 1378508088: '412',
    921161350: '12010', 1656509292: '33120', 1192987532: '21850', 1856708259: '30550',
    1696477368: '4120', 645143289: '61890', 1269495809: '1.85', 1426190062: '0', 1474636899: '1',
    1988910801: '3', 326335648: '0', 743187560: '31', 2108846086: '4', 1437334234: '0', 517267660: '0',
    1751090547: '0', 2145316696: '1250000', 246925225: '2410000', 1313870629: '86000', 1704165009: '18250',
    1857816441: '4120', 500989572: '1', 894856902: '1', 1417747975: '0', 988157535: '2500',
    870778017: '22500', 264790405: '3.2', 1571471286: '6.1', 1045874997: '28.7', 1277811141: '44.9',
    1270038270: '1.4', 1271456638: '1.7',
}
SIMULATOR_VALUES.update({pid: str(20 + 26 * k) for k, pid in enumerate(model.SIG_OPEN)})
SIMULATOR_VALUES.update({pid: str(10 + 24 * k) for k, pid in enumerate(model.SIG_CLOSE)})


def simulator_profile():
    by_id = {q.id: q for q in all_params()}
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<!-- Initial device values for the HART simulator, as display texts by reference id.',
           '     Identification values not listed here take the defaults of Ravik.zor. -->',
           '<simulator_profile description="Ravik.zor" manufacturer_id="%d" device_type="%d">'
           % (model.MANUFACTURER_ID, model.DEVICE_TYPE)]
    for pid, text in SIMULATOR_VALUES.items():
        if pid not in by_id:
            raise SystemExit('simulator value for unknown parameter %d' % pid)
        out.append('  <value reference_id="%d" label=%s>%s</value>' % (pid, quoteattr(by_id[pid].label),
                                                                      escape(text)))
    out.append('</simulator_profile>')
    return '\n'.join(out) + '\n'


def write(path, text):
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'positioner')
    entries = language_entries()
    zor = description_xml()
    dct = language_file(entries)
    profile = simulator_profile()
    os.makedirs(target, exist_ok=True)
    write(os.path.join(target, 'Ravik.zor'), zor)
    write(os.path.join(target, 'Ravik_HART.dct'), dct)
    write(os.path.join(target, 'simulator-profile.xml'), profile)
    positioner_bitmaps.write_all(target)
    print('wrote %d parameters, %d commands, %d language keys to %s'
          % (len(all_params()), len(model.COMMANDS), len(entries), os.path.normpath(target)))


if __name__ == '__main__':
    main()
