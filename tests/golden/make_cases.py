#!/usr/bin/env python3
# Writes the golden cases whose expected bytes are derived by hand from the
# worked examples and rules of the language: the texts below are the claim,
# the ZW and ERR files are their CR LF, Windows-1252 form.
import os
def case(name, src, args, zw, err, log, status=None):
    d = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    os.makedirs(d, exist_ok=True)
    open(os.path.join(d, 'source.sqx'), 'wb').write(src.encode('cp1252'))
    open(os.path.join(d, 'args'), 'w').write(args + '\n')
    if zw is not None:
        open(os.path.join(d, 'expected.ZW'), 'wb').write(zw.replace('\n', '\r\n').encode('cp1252'))
    open(os.path.join(d, 'expected.ERR'), 'wb').write(err.replace('\n', '\r\n').encode('cp1252'))
    open(os.path.join(d, 'expected.log'), 'wb').write(log.encode('cp1252'))
    if status is not None:
        open(os.path.join(d, 'expected.status'), 'w').write(str(status) + '\n')

def fitter(device, pins, nodes, fixed, crit=()):
    s = '\n\n__END' + '\n\nDEVICE:\n' + '\t\t%s\n\n' % device + '\n\nPINS:\n'
    s += ''.join('\t\t%s\n' % p for p in pins) + 'Summe: %d Pins\n' % len(pins)
    s += '\nNODES:\n' + ''.join('\t\t%s\n' % p for p in nodes) + 'Summe: %d Nodes\n' % len(nodes)
    s += '\nFest_zugeordnete_Pins:\n' + ''.join('\t\t%s_AT_%d\n' % f for f in fixed)
    s += '\nKritische_Pfade:\n' + ''.join('\t\t%s' % c for c in crit)
    return s

def log(*lines, w=0, e=0, aborted=False):
    out = ['Text wird compiliert'] + list(lines)
    out.append('Compilevorgang abgebrochen, zu viele oder zu schwere Fehler.' if aborted
               else 'Compilevorgang beendet, Warnungen: %d, Fehler: %d.' % (w, e))
    return ''.join(l + '\n' for l in out)

AB_Y = """PROGRAM zwei
VAR_INPUT
  a;
  b;
END_VAR;
VAR_OUTPUT
  y;
END_VAR;
%s
END_PROGRAM;
"""
ABC_Y = """PROGRAM drei
VAR_INPUT
  a;
  b;
  c;
END_VAR;
VAR_OUTPUT
  y;
END_VAR;
%s
END_PROGRAM;
"""
F_AB = fitter('TREVA', ['a', 'b', 'y'], [], [('a', 15), ('b', 16), ('y', 25)])
F_ABC = fitter('TREVA', ['a', 'b', 'c', 'y'], [], [('a', 15), ('b', 16), ('c', 17), ('y', 25)])
T = '--plc TREVA --min '

# The equation writer's worked example: y := a XOR b at NOMIN and ESPRESSO.
case('g_writer_xor_nomin', AB_Y % 'y := a XOR b;', T + 'NOMIN',
     'y =  NOT a & b OR\n\t\ta &  NOT b\n\t\t\t\t; 2 \n' + F_AB, '', log('Minimierung von y', '.'), 0)
case('g_writer_xor_espresso', AB_Y % 'y := a XOR b;', T + 'ESPRESSO',
     'y = a &  NOT b OR\n\t\t NOT a & b\n\t\t\t\t; 2 \n' + F_AB, '', log('Minimierung von y', '.'), 0)
# STRONGMIN writes the complement of a OR b (one term against two).
case('g_writer_or_strongmin', AB_Y % 'y := a OR b;', T + 'STRONGMIN',
     'NOT y =  NOT a &  NOT b\n\t\t\t\t; 1 \n' + F_AB, '', log('Minimierung von y', '.'), 0)
# ESPRESSO keeps a sum of products positive.
case('g_writer_or_espresso', AB_Y % 'y := a OR b;', T + 'ESPRESSO',
     'y = a OR\n\t\tb\n\t\t\t\t; 2 \n' + F_AB, '', log('Minimierung von y', '.'), 0)
# The constant zero at every level.
for lvl in ('NOMIN', 'STRONGMIN', 'ESPRESSO'):
    case('g_writer_zero_' + lvl.lower(), AB_Y % 'y := 0;', T + lvl,
         'y = __GND\t\t; 1\n' + F_AB, '', log('Minimierung von y', '.'), 0)
# Complete minimization, first worked example: a AND b OR c gives a.b, c.
case('g_complete_ab_or_c', ABC_Y % 'y := a AND b OR c;', T + 'STRONGMIN',
     'y = a & b OR\n\t\tc\n\t\t\t\t; 2 \n' + F_ABC, '', log('Minimierung von y', '.'), 0)
# Second worked example: true except on 000 and 111; the off-set (2 terms) is written.
case('g_complete_not_all_equal', ABC_Y % 'y := (a OR b OR c) AND NOT (a AND b AND c);', T + 'STRONGMIN',
     'NOT y =  NOT a &  NOT b &  NOT c OR\n\t\ta & b & c\n\t\t\t\t; 2 \n' + F_ABC, '', log('Minimierung von y', '.'), 0)
# (a OR b) AND c: b.c, a.c at both minimizing levels.
for lvl in ('STRONGMIN', 'ESPRESSO'):
    case('g_min_or_and_c_' + lvl.lower(), ABC_Y % 'y := (a OR b) AND c;', T + lvl,
         'y = b & c OR\n\t\ta & c\n\t\t\t\t; 2 \n' + F_ABC, '', log('Minimierung von y', '.'), 0)
# NOMIN truth table with more on-rows than off-rows writes the off-set rows.
case('g_nomin_offset_rows', ABC_Y % 'y := NOT ((a OR b) AND c);', T + 'NOMIN',
     'NOT y =  NOT a & b & c OR\n\t\ta &  NOT b & c OR\n\t\ta & b & c\n\t\t\t\t; 3 \n' + F_ABC, '',
     log('Minimierung von y', '.'), 0)
# Espresso: a AND b OR a loses slot 0 (contained) and writes a alone.
case('g_espresso_slot0_dropped', AB_Y % 'y := a AND b OR a;', T + 'ESPRESSO',
     'y = a\n\t\t\t\t; 1 \n' + F_AB, '', log('Minimierung von y', '.'), 0)

# Front end: a source without END_PROGRAM. The statement entry's look for
# #ENDNOMIN and the driver's next token both meet the end of the source.
case('g_driver_no_end_program', """PROGRAM ohne
VAR_INPUT
  a;
END_VAR;
VAR_OUTPUT
  y;
END_VAR;
y := a;
""", T + 'NOMIN',
     'y = a\n\t\t\t\t; 1 \n' + fitter('TREVA', ['a', 'y'], [], [('a', 15), ('y', 25)]),
     'Zeile 9: Bezeichner nicht korrekt\nZeile 9: Bezeichner nicht korrekt\nZeile 9: ; fehlt\nZeile 9: END_PROGRAM-Statement fehlt\n',
     log('Minimierung von y', '.', w=1, e=3), 1)
# Only inputs: the declaration limits abandon the compile; no ZW file.
case('g_decl_only_inputs', """PROGRAM nurein
VAR_INPUT
  a;
END_VAR;
a := 1;
END_PROGRAM;
""", T + 'NOMIN', None,
     'Es wurden keine In- oder keine Outputs deklariert\nSyntaxanalyse wird nicht fortgesetzt\n'
     'Zu viele oder gravierende Fehler in der Deklaration\nSyntaxanalyse wird nicht fortgesetzt\n',
     log(aborted=True), 1)
# The fitter section of a program with an internal node and a critical output.
case('g_fitter_section', """PROGRAM fitter
VAR_INPUT
  a AT 15;
  b;
END_VAR;
VAR_OUTPUT
  y AT A1;
END_VAR;
VAR_INTERN
  m;
END_VAR;
m := a AND b;
y := m;
y.CRIT;
END_PROGRAM;
""", T + 'NOMIN',
     'm = a & b\n\t\t\t\t; 1 \ny = m\n\t\t\t\t; 1 \n'
     + fitter('TREVA', ['a', 'b', 'y'], ['m'], [('a', 15), ('b', 16), ('y', 25)], ['y']),
     '', log('Minimierung von m', '.', 'Minimierung von y', '..', '.'), 0)
