"""The Ravik positioner's panel pictures and program icon.

Each picture is drawn at the size of the panel rectangle that shows it, so
the view never has to stretch it.
"""

import math
import os

from raster import Canvas, write_ico

BLUE = (38, 86, 158)
LIGHT_BLUE = (196, 214, 238)
DARK = (48, 48, 56)
GREY = (150, 150, 160)
LIGHT = (222, 222, 228)
ORANGE = (224, 118, 32)
GREEN = (40, 140, 64)
RED = (192, 40, 40)
WHITE = (255, 255, 255)
KEY = (255, 0, 255)  # transparent colour of the icon


def logo():
    c = Canvas(157, 98, WHITE)
    c.fill_polygon([(12, 16), (34, 30), (12, 44)], BLUE)
    c.fill_polygon([(56, 16), (34, 30), (56, 44)], BLUE)
    c.fill_rect(31, 8, 37, 30, DARK)
    c.fill_rect(24, 2, 44, 9, ORANGE)
    c.text(66, 12, 'RAVIK', BLUE, scale=3)
    c.fill_rect(12, 56, 144, 58, ORANGE)
    c.centered_text(78, 68, 'VARNHOLT', DARK, scale=2)
    return c


def complete_valve():
    c = Canvas(270, 480, WHITE)
    # positioner housing with display and gauges
    c.fill_rect(60, 20, 200, 150, BLUE)
    c.rect(60, 20, 200, 150, DARK, 2)
    c.fill_rect(82, 40, 178, 84, LIGHT)
    c.rect(82, 40, 178, 84, DARK)
    c.text(92, 55, '50.2 %', DARK, scale=2)
    c.text(100, 120, 'RAVIK', WHITE, scale=2)
    for cy in (55, 115):
        c.ellipse(228, cy, 18, 18, DARK, fill=WHITE)
        c.line(228, cy, 238, cy - 9, RED, 2)
        c.line(200, cy, 210, cy, DARK, 3)
    # actuator
    c.ellipse(135, 215, 100, 42, DARK, fill=GREY)
    c.fill_rect(34, 215, 236, 258, WHITE)
    c.fill_rect(35, 212, 235, 222, DARK)
    c.fill_rect(125, 150, 145, 173, DARK)
    # yoke, stem and feedback arm
    c.fill_rect(88, 222, 98, 330, DARK)
    c.fill_rect(172, 222, 182, 330, DARK)
    c.fill_rect(130, 222, 140, 345, GREY)
    c.rect(130, 222, 140, 345, DARK)
    c.line(200, 130, 240, 130, DARK, 3)
    c.line(240, 130, 240, 285, DARK, 3)
    c.line(240, 285, 141, 285, DARK, 3)
    c.fill_rect(84, 326, 186, 338, DARK)
    # valve body in the pipe
    c.fill_rect(0, 372, 269, 420, LIGHT)
    c.rect(0, 372, 269, 420, DARK)
    for x in (30, 230):
        c.fill_rect(x, 356, x + 10, 436, GREY)
        c.rect(x, 356, x + 10, 436, DARK)
    c.ellipse(135, 396, 70, 52, DARK, fill=GREY)
    c.fill_polygon([(95, 370), (135, 396), (95, 422)], DARK)
    c.fill_polygon([(175, 370), (135, 396), (175, 422)], DARK)
    c.arrow(10, 460, 100, 460, BLUE, 3, head=10)
    c.text(112, 455, 'FLOW', BLUE, scale=2)
    return c


def position_scale():
    c = Canvas(105, 180, WHITE)
    c.fill_rect(48, 90, 68, 165, LIGHT_BLUE)
    c.rect(48, 15, 68, 165, DARK)
    for k in range(5):
        y = 165 - k * 150 // 4
        c.line(40, y, 48, y, DARK, 2)
        label = str(25 * k)
        c.text(36 - Canvas.text_width(label), y - 3, label, DARK)
    c.fill_polygon([(72, 90), (84, 83), (84, 97)], ORANGE)
    c.text(74, 168, '%', DARK)
    return c


def characteristic_graph():
    c = Canvas(390, 230, WHITE)
    x0, y0, x1, y1 = 40, 195, 370, 20

    def pt(x, y):
        return (x0 + (x1 - x0) * x, y0 - (y0 - y1) * y)
    for k in range(5):
        gx = x0 + (x1 - x0) * k // 4
        gy = y0 - (y0 - y1) * k // 4
        c.line(gx, y0, gx, y1, LIGHT)
        c.line(x0, gy, x1, gy, LIGHT)
    c.line(x0, y0, x1, y0, DARK, 2)
    c.line(x0, y0, x0, y1, DARK, 2)
    steps = [i / 60 for i in range(61)]
    c.polyline([pt(x, x) for x in steps], GREEN, 2)
    c.polyline([pt(x, (30 ** x - 1) / 29) for x in steps], BLUE, 2)
    c.polyline([pt(x, math.sqrt(x)) for x in steps], ORANGE, 2)
    for label, gx in (('0', x0), ('50', (x0 + x1) // 2), ('100', x1)):
        c.centered_text(gx, y0 + 8, label, DARK)
    c.text(4, y1 - 3, '100', DARK)
    c.text(10, (y0 + y1) // 2 - 3, '50', DARK)
    c.text(210, 214, 'SETPOINT %', DARK)
    c.text(48, 6, 'TRAVEL %', DARK)
    for n, (label, colour) in enumerate((('LINEAR', GREEN), ('EQUAL %', BLUE), ('QUICK OPEN', ORANGE))):
        y = 34 + 14 * n
        c.fill_rect(56, y + 2, 70, y + 4, colour)
        c.text(76, y, label, colour)
    return c


def switches():
    c = Canvas(100, 210, WHITE)
    for n, top in ((1, 15), (2, 112)):
        c.text(10, top, 'SW%d' % n, BLUE, scale=2)
        c.ellipse(20, top + 45, 5, 5, DARK, fill=WHITE)
        c.ellipse(80, top + 45, 5, 5, DARK, fill=WHITE)
        c.line(25, top + 45, 72, top + 30, DARK, 2)
        c.line(85, top + 45, 95, top + 45, DARK, 2)
        c.line(5, top + 45, 15, top + 45, DARK, 2)
        c.text(14, top + 60, '+', DARK)
        c.text(76, top + 60, '-', DARK)
        c.rect(2, top - 4, 97, top + 82, GREY)
    return c


def box(c, x0, y0, x1, y1, label, fill=LIGHT, colour=DARK):
    c.fill_rect(x0, y0, x1, y1, fill)
    c.rect(x0, y0, x1, y1, colour, 2)
    lines = label.split('\n')
    top = (y0 + y1) // 2 - 5 * len(lines)
    for k, line in enumerate(lines):
        c.centered_text((x0 + x1) // 2, top + 10 * k, line, colour)


def sensors():
    c = Canvas(563, 375, WHITE)
    box(c, 200, 140, 362, 235, 'RAVIK\nPOSITIONER', LIGHT_BLUE, BLUE)
    sources = [
        ((20, 20, 170, 70), 'INPUT SIGNAL\n4-20 MA', (170, 45), (200, 160)),
        ((206, 20, 356, 70), 'POSITION\nSENSOR', (281, 70), (281, 140)),
        ((392, 20, 542, 70), 'SUPPLY\nPRESSURE', (392, 45), (362, 160)),
        ((392, 140, 542, 190), 'ACTUATOR\nPRESSURE 1', (392, 165), (362, 180)),
        ((392, 215, 542, 265), 'ACTUATOR\nPRESSURE 2', (392, 240), (362, 215)),
        ((206, 305, 356, 355), 'PILOT\nPRESSURE', (281, 305), (281, 235)),
        ((20, 305, 170, 355), 'TEMPERATURE', (170, 330), (200, 220)),
    ]
    for rect, label, start, end in sources:
        box(c, *rect, label)
        c.arrow(start[0], start[1], end[0], end[1], ORANGE, 2, head=9)
    return c


def retransmit():
    c = Canvas(660, 381, WHITE)
    box(c, 40, 120, 220, 260, 'RAVIK\nPOSITIONER\n\nRETRANSMIT', LIGHT_BLUE, BLUE)
    box(c, 290, 30, 410, 100, 'POWER\nSUPPLY\n24 V DC')
    box(c, 470, 120, 630, 260, 'RECEIVER\n4-20 MA')
    # two-wire loop: supply + to OUT +, OUT - to receiver +, receiver - back to supply -
    for y, out_sign, in_sign in ((160, '+', '-'), (220, '-', '+')):
        c.ellipse(220, y, 6, 6, DARK, fill=WHITE)
        c.text(200, y - 3, out_sign, DARK)
        c.ellipse(470, y, 6, 6, DARK, fill=WHITE)
        c.text(480, y - 3, in_sign, DARK)
    c.text(294, 88, '+', RED)
    c.text(400, 88, '-', DARK)
    c.polyline([(226, 160), (260, 160), (260, 65), (290, 65)], RED, 2)
    c.polyline([(410, 65), (440, 65), (440, 160), (464, 160)], DARK, 2)
    c.polyline([(226, 220), (464, 220)], DARK, 2)
    c.arrow(300, 240, 400, 240, ORANGE, 2, head=9)
    c.centered_text(350, 250, 'LOOP CURRENT', ORANGE)
    c.text(40, 300, '4 MA = LOWER RANGE VALUE', DARK, scale=2)
    c.text(40, 330, '20 MA = UPPER RANGE VALUE', DARK, scale=2)
    return c


def icon(size):
    c = Canvas(size, size, KEY)
    m = max(1, size // 16)
    c.fill_rect(m, m, size - 1 - m, size - 1 - m, BLUE)
    mid = size // 2
    c.fill_polygon([(3 * m, 5 * m), (mid, mid + m), (3 * m, size - 3 * m)], WHITE)
    c.fill_polygon([(size - 3 * m, 5 * m), (mid, mid + m), (size - 3 * m, size - 3 * m)], WHITE)
    c.fill_rect(mid - m // 2 - 1, 3 * m, mid + m // 2, mid, WHITE)
    c.fill_rect(mid - 3 * m, 2 * m, mid + 3 * m, 3 * m + m // 2, ORANGE)
    return c


PICTURES = {
    'Ravik transparent.bmp': logo,
    'Ravik cpl.bmp': complete_valve,
    'Ravik Position.bmp': position_scale,
    'Ravik Pos Graph.bmp': characteristic_graph,
    'Ravik Switches.bmp': switches,
    'Ravik Sensors.bmp': sensors,
    'Ravik PosRetransmit.bmp': retransmit,
}


def write_all(target):
    for name, draw in PICTURES.items():
        draw().save_bmp(os.path.join(target, name))
    write_ico(os.path.join(target, 'Ravik_PROGRAM_DTM.ico'), [icon(16), icon(32), icon(48)], transparent=KEY)
