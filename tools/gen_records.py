#!/usr/bin/env python3
"""Turns sdk/RecordInterfaces.table into the host-interface record classes.

Usage: gen_records.py TABLE OUTDIR

Writes into OUTDIR:
  RecordForward.gen.h                       every record type, declared
  <Unit>.RecordInterfaces.gen.h / .gen.cpp  the records of one unit: their
                                            dispinterfaces, call descriptors,
                                            classes and operations
  RecordCatalogue.gen.cpp                   every record and operation with its
                                            descriptor, a probe that calls it and
                                            its parameter names (linked into the
                                            record tests only)
"""
import os
import re
import sys

UNITS = ['ZUL', 'ORV', 'ORV.PCB', 'ORV.SCH', 'ORV.Embedded']

# kind letter -> (wire code, by-value C++ parameter type, result type)
KINDS = {
    'i': (0x03, 'int32_t', 'int32_t'),
    'u': (0x03, 'uint32_t', 'uint32_t'),
    'L': (0x14, 'int64_t', 'int64_t'),
    'b': (0x0B, 'bool', 'bool'),
    'd': (0x05, 'double', 'double'),
    's': (0x08, 'const WideString&', 'WideString'),
    'o': (0x09, None, None),
}
BY_REF = 0x80
HEADER = '// Generated from sdk/RecordInterfaces.table by tools/gen_records.py: edit the table, not this file.\n'


class TableError(Exception):
    pass


class Kind:
    def __init__(self, text, where):
        m = re.fullmatch(r'([iuLbdso])(?::(\w+))?(&?)', text)
        if not m:
            raise TableError('%s: unknown kind %r' % (where, text))
        self.letter, self.record, self.by_ref = m.group(1), m.group(2), m.group(3) == '&'
        if (self.letter == 'o') != (self.record is not None):
            raise TableError('%s: kind o needs a record type (o:<Record>), other kinds none' % where)
        if self.by_ref and self.letter in 'bd':
            raise TableError('%s: kind %s cannot be passed by reference' % (where, self.letter))

    @property
    def code(self):
        return KINDS[self.letter][0] | (BY_REF if self.by_ref else 0)

    def param_type(self):
        if self.letter == 'o':
            return '%s&' % self.record if self.by_ref else 'const %s&' % self.record
        if self.by_ref:
            return {'i': 'int32_t&', 'u': 'uint32_t&', 'L': 'int64_t&', 's': 'WideString&'}[self.letter]
        return KINDS[self.letter][1]

    def result_type(self):
        return self.record if self.letter == 'o' else KINDS[self.letter][2]

    def wrapper(self, name):
        if self.by_ref:
            return {'i': 'RefI{&%s}', 'u': 'RefI{&%s}', 'L': 'RefL(%s)', 's': 'RefS(%s)', 'o': 'RefO(%s)'}[self.letter] % name
        return {'i': 'ArgI{uint32_t(%s)}', 'u': 'ArgI{%s}', 'L': 'ArgL{%s}', 'b': 'ArgB{%s}',
                's': 'ArgS(%s)', 'o': 'ArgO(%s)'}[self.letter] % name

    def probe_value(self):
        """A zero value of the parameter for the probes."""
        if self.letter == 'o':
            return self.record + '{}'
        return {'i': 'int32_t{}', 'u': 'uint32_t{}', 'L': 'int64_t{}', 'b': 'false', 's': 'WideString{}'}[self.letter]

    def records(self):
        return [self.record] if self.record else []


class Operation:
    def __init__(self, name, dispid, params, result):
        self.name, self.dispid, self.params, self.result = name, dispid, params, result

    def signature(self, qualifier=''):
        params = ', '.join('%s %s' % (k.param_type(), n) for k, n in self.params)
        return '%s %s%s(%s) const' % (self.result_type(), qualifier, self.name, params)

    def result_type(self):
        return self.result.result_type() if self.result else 'void'

    def descriptor(self):
        codes = [self.result.code if self.result else 0] + [k.code for k, _ in self.params]
        return 'MakeCallDescriptor(%d, %s)' % (self.dispid, ', '.join('0x%02X' % c for c in codes))

    def records(self):
        names = self.result.records() if self.result else []
        for k, _ in self.params:
            names += k.records()
        return names


class Record:
    def __init__(self, name, unit, iid, methods):
        self.name, self.unit, self.iid, self.methods = name, unit, iid, methods
        self.ops, self.readers, self.retypes = [], [], []

    @property
    def disp(self):
        return 'IDisp' + self.name[1:]

    def records(self):
        names = [r for op in self.ops for r in op.records()]
        return names + [other for _, _, other in self.retypes]


def parse(path):
    records, unit = [], None
    for number, raw in enumerate(open(path, encoding='utf-8'), 1):
        where = '%s:%d' % (os.path.basename(path), number)
        line = raw.split('#', 1)[0].rstrip()
        if not line.strip():
            continue
        if not line[0].isspace():
            words = line.split()
            if words[0] == 'unit' and len(words) == 2 and words[1] in UNITS:
                unit = words[1]
            elif words[0] == 'record' and len(words) == 4 and unit:
                if not re.fullmatch(r'I\w+', words[1]) or not re.fullmatch(r'\{[0-9A-F-]{36}\}', words[2]):
                    raise TableError('%s: bad record line' % where)
                records.append(Record(words[1], unit, words[2], int(words[3])))
            else:
                raise TableError('%s: expected "unit <Unit>" or "record <Name> <iid> <methods>"' % where)
            continue
        if not records:
            raise TableError('%s: row outside a record' % where)
        rec = records[-1]
        m = re.fullmatch(r'\s+reader (\w+) = (\w+)', line)
        if m:
            rec.readers.append((m.group(1), m.group(2), where))
            continue
        m = re.fullmatch(r'\s+retype (\w+) (->|<-) (I\w+)', line)
        if m:
            rec.retypes.append((m.group(1), m.group(2), m.group(3)))
            continue
        m = re.fullmatch(r'\s+(\w+)\s+(-?\d+)\s+\(([^)]*)\)\s+(\S+)', line)
        if not m:
            raise TableError('%s: expected "<Operation> <DispID> (<kind Name>, ...) <result>"' % where)
        params = []
        for part in filter(None, (p.strip() for p in m.group(3).split(','))):
            pm = re.fullmatch(r'(\S+)\s+(\w+)', part)
            if not pm:
                raise TableError('%s: argument %r needs a kind and a name' % (where, part))
            kind = Kind(pm.group(1), where)
            if kind.letter == 'd':
                raise TableError('%s: kind d is for results only' % where)
            params.append((kind, pm.group(2)))
        if len({n for _, n in params}) != len(params):
            raise TableError('%s: argument names repeat' % where)
        result = None if m.group(4) == '-' else Kind(m.group(4), where)
        if result and result.by_ref:
            raise TableError('%s: a result is never by reference' % where)
        rec.ops.append(Operation(m.group(1), int(m.group(2)), params, result))
    check(records)
    return records


def check(records):
    names = {r.name for r in records}
    if len(names) != len(records):
        raise TableError('a record is listed twice')
    for rec in records:
        members = [op.name for op in rec.ops] + [n for n, _, _ in rec.readers] + [n for n, _, _ in rec.retypes]
        if len(set(members)) != len(members):
            raise TableError('%s: a member name repeats' % rec.name)
        for other in rec.records():
            if other not in names:
                raise TableError('%s: unknown record type %s' % (rec.name, other))
        ops = {op.name for op in rec.ops}
        for reader, target, where in rec.readers:
            if target not in ops:
                raise TableError('%s: reader %s names no operation %s' % (where, reader, target))


def guid_initializer(iid):
    h = iid.strip('{}').replace('-', '')
    data4 = ', '.join('0x%s' % h[i:i + 2] for i in range(16, 32, 2))
    return '{0x%s, 0x%s, 0x%s, {%s}}' % (h[0:8], h[8:12], h[12:16], data4)


def unit_header(unit, records, unit_of):
    mine = [r for r in records if r.unit == unit]
    deps = sorted({unit_of[n] for r in mine for n in r.records()} - {unit}, key=UNITS.index)
    out = [HEADER, '#pragma once\n', '#include "RecordCall.h"\n#include "RecordForward.gen.h"\n']
    out += ['#include "%s.RecordInterfaces.gen.h"\n' % d for d in deps]
    out.append('\nnamespace tvk {\n\n')
    out.append('// The host dispinterfaces: IDispatch alone; their methods are reached by DispID.\n')
    for r in mine:
        out.append('struct %s : public IDispatch {};  // %s, %d methods\n' % (r.disp, r.iid, r.methods))
    out.append('\n// The call descriptor of every operation.\nnamespace record_desc {\n')
    for r in mine:
        if r.ops:
            out.append('namespace %s {\n' % r.name)
            for op in r.ops:
                out.append('inline constexpr auto %s = %s;\n' % (op.name, op.descriptor()))
            out.append('}  // namespace %s\n' % r.name)
    out.append('}  // namespace record_desc\n')
    for r in mine:
        out.append('\nclass %s : public TRecord<%s, %s> {\npublic:\n  using TRecord::TRecord;\n' % (r.name, r.name, r.disp))
        for op in r.ops:
            out.append('  %s;\n' % op.signature())
        byname = {op.name: op for op in r.ops}
        for reader, target, _ in r.readers:
            t = byname[target]
            params = ', '.join('%s %s' % (k.param_type(), n) for k, n in t.params)
            out.append('  %s %s(%s) const;\n' % (t.result_type(), reader, params))
        for name, direction, other in r.retypes:
            if direction == '->':
                out.append('  %s %s() const;\n' % (other, name))
            else:
                out.append('  static %s %s(const %s& from);\n' % (r.name, name, other))
        out.append('};\n')
    out.append('\n}  // namespace tvk\n')
    return ''.join(out)


def unit_source(unit, records):
    mine = [r for r in records if r.unit == unit]
    out = [HEADER]
    out += ['#include "%s.RecordInterfaces.gen.h"\n' % u for u in UNITS]
    out.append('\nnamespace tvk {\n\nusing namespace record_call;\n')
    for r in mine:
        for op in r.ops:
            args = ''.join(', ' + k.wrapper(n) for k, n in op.params)
            out.append('\n%s {\n  return RecordCall<%s, record_desc::%s::%s>(*this, L"%s.%s"%s);\n}\n' % (
                op.signature(r.name + '::'), op.result_type(), r.name, op.name, r.name, op.name, args))
        byname = {op.name: op for op in r.ops}
        for reader, target, _ in r.readers:
            t = byname[target]
            params = ', '.join('%s %s' % (k.param_type(), n) for k, n in t.params)
            out.append('\n%s %s::%s(%s) const { return %s(%s); }\n' % (
                t.result_type(), r.name, reader, params, target, ', '.join(n for _, n in t.params)))
        for name, direction, other in r.retypes:
            if direction == '->':
                out.append('\n%s %s::%s() const { return RecordAs<%s>(*this); }\n' % (other, r.name, name, other))
            else:
                out.append('\n%s %s::%s(const %s& from) { return RecordAs<%s>(from); }\n' % (
                    r.name, r.name, name, other, r.name))
    out.append('\n}  // namespace tvk\n')
    return ''.join(out)


def forward_header(records):
    out = [HEADER, '#pragma once\n\nnamespace tvk {\n\n']
    out += ['class %s;\n' % r.name for r in records]
    out.append('\n}  // namespace tvk\n')
    return ''.join(out)


def catalogue_source(records):
    out = [HEADER, '#include "records/RecordCatalogue.h"\n']
    out += ['#include "%s.RecordInterfaces.gen.h"\n' % u for u in UNITS]
    out.append('\nnamespace tvk_test {\n\nusing namespace tvk;\n\nnamespace {\n')
    probes = []
    for r in records:
        for op in r.ops:
            index = len(probes)
            locals_, args = [], []
            for i, (k, _) in enumerate(op.params):
                if k.by_ref:
                    locals_.append('  auto a%d = %s;\n' % (i, k.probe_value()))
                    args.append('a%d' % i)
                else:
                    args.append(k.probe_value())
            out.append('\nvoid Probe%d(IDispatch* target) {\n%s  (void)%s(target).%s(%s);\n}\n' % (
                index, ''.join(locals_), r.name, op.name, ', '.join(args)))
            probes.append('    {"%s", "%s", record_desc::%s::%s.data(), &Probe%d, "%s"},\n' % (
                r.name, op.name, r.name, op.name, index, ','.join(n for _, n in op.params)))
    out.append('\nconst TRecordInfo kRecords[] = {\n')
    for r in records:
        out.append('    {"%s", "%s", %s, %d},\n' % (r.name, r.unit, guid_initializer(r.iid), r.methods))
    out.append('};\n\nconst TRecordOperationInfo kOperations[] = {\n')
    out += probes
    out.append('};\n\n}  // namespace\n\n')
    out.append('std::span<const TRecordInfo> RecordCatalogue() { return kRecords; }\n')
    out.append('std::span<const TRecordOperationInfo> RecordOperationCatalogue() { return kOperations; }\n')
    out.append('\n}  // namespace tvk_test\n')
    return ''.join(out)


def write(path, text):
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    try:
        records = parse(argv[1])
    except TableError as e:
        sys.exit('gen_records: %s' % e)
    outdir = argv[2]
    os.makedirs(outdir, exist_ok=True)
    unit_of = {r.name: r.unit for r in records}
    write(os.path.join(outdir, 'RecordForward.gen.h'), forward_header(records))
    for unit in UNITS:
        write(os.path.join(outdir, unit + '.RecordInterfaces.gen.h'), unit_header(unit, records, unit_of))
        write(os.path.join(outdir, unit + '.RecordInterfaces.gen.cpp'), unit_source(unit, records))
    write(os.path.join(outdir, 'RecordCatalogue.gen.cpp'), catalogue_source(records))


if __name__ == '__main__':
    main(sys.argv)
