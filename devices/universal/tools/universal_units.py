"""Enumerations of the HART common tables that the universal commands use.

Codes and their texts as the common tables give them. Unit texts are shown as
they are (they are not language-file keys); every other enumeration label is
a key of the language file, with its English and German text here.
"""

# Engineering unit codes (common table 2), by code.
UNIT_TEXT = {
    1: "inH2O", 2: "inHg", 3: "ftH2O", 4: "mmH2O", 5: "mmHg", 6: "psi", 7: "bar",
    8: "mbar", 9: "g/cm2", 10: "kg/cm2", 11: "Pa", 12: "kPa", 13: "torr", 14: "atm",
    15: "ft3/min", 16: "gal/min", 17: "L/min", 18: "ImpGal/min", 19: "m3/h", 20: "ft/s",
    21: "m/s", 22: "gal/s", 23: "Mgal/d", 24: "L/s", 25: "ML/d", 26: "ft3/s", 27: "ft3/d",
    28: "m3/s", 29: "m3/d", 30: "ImpGal/h", 31: "ImpGal/d", 32: "degC", 33: "degF",
    34: "degR", 35: "K", 36: "mV", 37: "Ohm", 38: "Hz", 39: "mA", 40: "gal", 41: "L",
    42: "ImpGal", 43: "m3", 44: "ft", 45: "m", 46: "bbl", 47: "in", 48: "cm", 49: "mm",
    50: "min", 51: "s", 52: "h", 53: "d", 54: "cSt", 55: "cP", 57: "%", 58: "V",
    59: "pH", 60: "g", 61: "kg", 62: "t", 63: "lb", 64: "Ston", 65: "Lton", 66: "mS/cm",
    67: "uS/cm", 68: "N", 69: "N m", 70: "g/s", 71: "g/min", 72: "g/h", 73: "kg/s",
    74: "kg/min", 75: "kg/h", 76: "kg/d", 77: "t/min", 78: "t/h", 79: "t/d", 80: "lb/s",
    81: "lb/min", 82: "lb/h", 83: "lb/d", 84: "Ston/min", 85: "Ston/h", 86: "Ston/d",
    87: "Lton/h", 88: "Lton/d", 90: "SGU", 91: "g/cm3", 92: "kg/m3", 93: "lb/gal",
    94: "lb/ft3", 95: "g/mL", 96: "kg/L", 97: "g/L", 98: "lb/in3", 99: "Ston/yd3",
    100: "degTwad", 101: "degBrix", 102: "degBaume heavy", 103: "degBaume light",
    104: "degAPI", 105: "% solids/weight", 106: "% solids/volume", 107: "degBalling",
    108: "proof/volume", 109: "proof/mass", 110: "bushel", 111: "yd3", 112: "ft3",
    113: "in3", 114: "in/s", 115: "in/min", 116: "ft/min", 117: "deg/s", 118: "rev/s",
    119: "rpm", 120: "m/h", 121: "Nm3/h", 122: "NL/h", 123: "SCFM", 124: "bbl liquid",
    125: "oz", 130: "ft3/h", 131: "m3/min", 132: "bbl/s", 133: "bbl/min", 134: "bbl/h",
    135: "bbl/d", 136: "gal/h", 137: "ImpGal/s", 138: "L/h", 139: "ppm",
    145: "inH2O (60 degF)", 237: "MPa", 238: "inH2O (4 degC)", 239: "mmH2O (4 degC)",
    250: "Not used", 251: "None", 252: "Unknown", 253: "Special",
}

# Codes every enumeration of the common tables shares.
SPECIAL = [(250, "Table_NotUsed"), (251, "Table_None"), (252, "Table_Unknown"),
           (253, "Table_Special")]

# Alarm selection codes (common table 6).
ALARM_SELECTION = [(0, "Alarm_High"), (1, "Alarm_Low"), (239, "Alarm_Hold")] + SPECIAL

# Transfer function codes (common table 3).
TRANSFER_FUNCTION = [
    (0, "Transfer_Linear"), (1, "Transfer_SquareRoot"), (2, "Transfer_SquareRoot3"),
    (3, "Transfer_SquareRoot5"), (4, "Transfer_SpecialCurve"), (5, "Transfer_Square"),
    (230, "Transfer_Discrete"), (231, "Transfer_SquareRootSpecial"),
    (232, "Transfer_SquareRoot3Special"), (233, "Transfer_SquareRoot5Special"),
] + SPECIAL

# Write protect codes (common table 7).
WRITE_PROTECT = [(0, "WriteProtect_No"), (1, "WriteProtect_Yes")] + SPECIAL

# Physical signalling codes (common table 10).
SIGNALLING = [(0, "Signal_Bell202Current"), (1, "Signal_Bell202Voltage"), (2, "Signal_RS485"),
              (3, "Signal_RS232"), (4, "Signal_Wireless"), (6, "Signal_Special")]

# Loop current modes (command 6 and 7, HART 6 and 7).
LOOP_CURRENT_MODE = [(0, "LoopCurrent_Disabled"), (1, "LoopCurrent_Enabled")]

# Device variable classification codes (common table 21).
CLASSIFICATION = [
    (0, "Class_None"), (64, "Class_Temperature"), (65, "Class_Pressure"),
    (66, "Class_ValveActuator"), (67, "Class_PidControl"), (68, "Class_pH"),
    (69, "Class_Conductivity"), (70, "Class_Totalizer"), (71, "Class_Level"),
    (72, "Class_VolumeFlow"), (73, "Class_MassFlow"), (74, "Class_Velocity"),
]

# Device profile codes (common table 57, HART 7).
DEVICE_PROFILE = [
    (1, "Profile_ProcessAutomation"), (2, "Profile_Discrete"), (3, "Profile_Hybrid"),
    (4, "Profile_IoSystem"), (65, "Profile_WirelessProcess"), (66, "Profile_WirelessDiscrete"),
    (67, "Profile_WirelessHybrid"), (68, "Profile_WirelessGateway"),
    (140, "Profile_WirelessAccessPoint"), (141, "Profile_WirelessProcessAdapter"),
    (142, "Profile_WirelessDiscreteAdapter"),
]

OFF_ON = [(0, "Bit_Off"), (1, "Bit_On")]

ENUM_TEXT = {
    "Table_NotUsed": ("Not used", "Nicht verwendet"),
    "Table_None": ("None", "Keine"),
    "Table_Unknown": ("Unknown", "Unbekannt"),
    "Table_Special": ("Special", "Speziell"),
    "Alarm_High": ("High", "Hoch"),
    "Alarm_Low": ("Low", "Tief"),
    "Alarm_Hold": ("Hold last output value", "Letzten Ausgangswert halten"),
    "Transfer_Linear": ("Linear", "Linear"),
    "Transfer_SquareRoot": ("Square root", "Radiziert"),
    "Transfer_SquareRoot3": ("Square root of the third power", "Wurzel aus der dritten Potenz"),
    "Transfer_SquareRoot5": ("Square root of the fifth power", "Wurzel aus der fünften Potenz"),
    "Transfer_SpecialCurve": ("Special curve", "Sonderkennlinie"),
    "Transfer_Square": ("Square", "Quadratisch"),
    "Transfer_Discrete": ("Discrete (switch)", "Diskret (Schalter)"),
    "Transfer_SquareRootSpecial": ("Square root and special curve",
                                   "Radiziert mit Sonderkennlinie"),
    "Transfer_SquareRoot3Special": ("Square root of the third power and special curve",
                                    "Wurzel aus der dritten Potenz mit Sonderkennlinie"),
    "Transfer_SquareRoot5Special": ("Square root of the fifth power and special curve",
                                    "Wurzel aus der fünften Potenz mit Sonderkennlinie"),
    "WriteProtect_No": ("Not write-protected", "Nicht schreibgeschützt"),
    "WriteProtect_Yes": ("Write-protected", "Schreibgeschützt"),
    "Signal_Bell202Current": ("Bell 202 current", "Bell 202 Strom"),
    "Signal_Bell202Voltage": ("Bell 202 voltage", "Bell 202 Spannung"),
    "Signal_RS485": ("RS-485", "RS-485"),
    "Signal_RS232": ("RS-232", "RS-232"),
    "Signal_Wireless": ("Wireless", "Funk"),
    "Signal_Special": ("Special", "Speziell"),
    "LoopCurrent_Disabled": ("Disabled (multidrop)", "Abgeschaltet (Multidrop)"),
    "LoopCurrent_Enabled": ("Enabled", "Aktiv"),
    "Class_None": ("Not classified", "Nicht klassifiziert"),
    "Class_Temperature": ("Temperature", "Temperatur"),
    "Class_Pressure": ("Pressure", "Druck"),
    "Class_ValveActuator": ("Valve or actuator", "Ventil oder Antrieb"),
    "Class_PidControl": ("Simple PID control", "Einfache PID-Regelung"),
    "Class_pH": ("pH", "pH"),
    "Class_Conductivity": ("Conductivity", "Leitfähigkeit"),
    "Class_Totalizer": ("Totalizer", "Summenzähler"),
    "Class_Level": ("Level", "Füllstand"),
    "Class_VolumeFlow": ("Volume flow", "Volumendurchfluss"),
    "Class_MassFlow": ("Mass flow", "Massendurchfluss"),
    "Class_Velocity": ("Velocity", "Geschwindigkeit"),
    "Profile_ProcessAutomation": ("Process automation device", "Gerät der Prozessautomatisierung"),
    "Profile_Discrete": ("Discrete device", "Diskretes Gerät"),
    "Profile_Hybrid": ("Hybrid device", "Hybridgerät"),
    "Profile_IoSystem": ("I/O system", "E/A-System"),
    "Profile_WirelessProcess": ("Wireless process automation device",
                                "Funkgerät der Prozessautomatisierung"),
    "Profile_WirelessDiscrete": ("Wireless discrete device", "Diskretes Funkgerät"),
    "Profile_WirelessHybrid": ("Wireless hybrid device", "Hybrides Funkgerät"),
    "Profile_WirelessGateway": ("Wireless gateway", "Funk-Gateway"),
    "Profile_WirelessAccessPoint": ("Wireless access point", "Funk-Zugangspunkt"),
    "Profile_WirelessProcessAdapter": ("Wireless adapter for process devices",
                                       "Funkadapter für Prozessgeräte"),
    "Profile_WirelessDiscreteAdapter": ("Wireless adapter for discrete devices",
                                        "Funkadapter für diskrete Geräte"),
    "Bit_Off": ("Off", "Aus"),
    "Bit_On": ("On", "Ein"),
}
