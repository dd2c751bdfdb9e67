"""Parameters and universal commands of the universal HART device package.

make_package.py turns these tables into the package files. Every parameter
label is a key of the language file; "<label>_HELP" is its tooltip text.

One description serves HART 5, 6 and 7 devices. Where a later revision only
appends bytes to a reply, the reply items of those bytes come after the
others: the engine skips an item that lies beyond the received bytes and
stops at the first item whose predecessor already lay beyond them, so the
parameters of a later revision keep their defaults with an older device.
Where HART 7 gives bytes a new meaning (command 0: bytes 1 and 2 are the
16-bit expanded device type, the 16-bit manufacturer code follows in bytes
17 and 18), the re-reading item comes after the last HART 7 item and is
therefore decoded only from a reply that has the HART 7 length. A layout
that no such rule can express (command 48 of HART 5, command 38 with the
HART 7 configuration change counter) is a second command element with the
same number and its own addressing index, named in scripts as 48(5) or
38(7); the index never goes on the wire.
"""

import zlib

import universal_units as U

FIXED_SIZE = {
    "unsigned8": 1, "unsigned16": 2, "unsigned24": 3, "unsigned32": 4,
    "float": 4, "date": 3,
}


def own_id(label):
    """Id of a parameter that no other package has: CRC-32 of "universal:" and the label, 31 bits."""
    return zlib.crc32(("universal:" + label).encode()) & 0x7FFFFFFF


def enum(entries):
    return "".join("[%d,%s]" % e for e in entries)


def unit_enum(codes):
    """Unit-code enumeration: [code,text] for the box, {code,text} for the unit lookup."""
    return (enum([(c, U.UNIT_TEXT[c]) for c in codes])
            + "".join("{%d,%s}" % (c, U.UNIT_TEXT[c]) for c in codes))


ALL_UNITS = unit_enum(sorted(U.UNIT_TEXT))


class Param:
    def __init__(self, ref, label, typ, text, help_text, *, size=None, access="r",
                 dynamic=False, cmd=None, default=None, rng=None, lo=None, hi=None,
                 unit=None, comps=(), bits=None):
        self.ref = own_id(label) if ref is None else ref
        self.label = label
        self.typ = typ
        self.text = text
        self.help = help_text
        self.size = size if size is not None else FIXED_SIZE.get(typ)
        self.access = access
        self.dynamic = dynamic
        self.cmd = cmd
        self.default = default
        self.rng = rng
        self.lo = lo
        self.hi = hi
        self.unit = unit
        self.comps = list(comps)
        self.bits = bits


def flag_bits(prefix, bits, dynamic=False):
    """One-bit components of a status or flag byte: (bit, name, English, German)."""
    return [Param(None, "%s_%s" % (prefix, name), "bit_range", (en, de),
                  ("%s (bit %d)." % (en, bit), "%s (Bit %d)." % (de, bit)),
                  bits=(bit, bit), rng=enum(U.OFF_ON), dynamic=dynamic)
            for bit, name, en, de in bits]


# ---------------------------------------------------------------- ids
# Ids whose meaning the positioner and level packages already give.
ID_TAG = 1122622930
ID_DESCRIPTOR = 1331626720
ID_MESSAGE = 1031198652
ID_DATE = 36205890
ID_FINAL_ASSEMBLY = 1085386367
ID_MANUFACTURER = 2024606965
ID_DEVICE_TYPE = 965867385
ID_UNIVERSAL_REVISION = 438775785
ID_DEVICE_REVISION = 1340043404
ID_SOFTWARE_REVISION = 1931717749
ID_DEVICE_FLAGS = 1117277483
ID_DEVICE_ID = 444726575
ID_POLLING_ADDRESS = 480012922
ID_HARDWARE_REVISION = 1668548460
ID_EXPANSION = 735072193
ID_PREAMBLES = 1788309392
ID_HW_SIGNALLING = 1081400957
ID_SIGNALLING_CODE = 1928672079
ID_LOOP_CURRENT = 698020263
ID_PV = 196666074
ID_PERCENT_RANGE = 158833582
ID_PV_UNIT = 1115162868
ID_SV_UNIT = 565873961
ID_TV_UNIT = 1746840055
ID_QV_UNIT = 331779412
ID_URV = 177080380
ID_LRV = 1304192516
ID_DAMPING = 2064083964
ID_ALARM_SELECT = 161727079
ID_TRANSFER_FUNCTION = 177963573
ID_WRITE_PROTECT = 989101498
ID_PRIVATE_LABEL = 1120078942
ID_DEVICE_STATUS = 210179647
ID_RESPONSE_CODE = 439972815
ID_IGNORED_CODES = 1274278243
ID_SHORT_ADDRESS = 1

# Ids of this package's own.
ID_EXPANDED_DEVICE_TYPE = own_id("expanded_device_type")
ID_RESPONSE_PREAMBLES = own_id("response_preambles")
ID_MAX_DEVICE_VARIABLES = own_id("max_device_variables")
ID_CONFIG_COUNTER = own_id("configuration_change_counter")
ID_EXTENDED_STATUS = own_id("extended_device_status")
ID_PRIVATE_LABEL_16 = own_id("private_label_distributor_16")
ID_DEVICE_PROFILE = own_id("device_profile")
ID_LOOP_CURRENT_MODE = own_id("loop_current_mode")
ID_SEARCH_TAG = own_id("search_tag")
ID_SEARCH_LONG_TAG = own_id("search_long_tag")
ID_LONG_TAG = own_id("long_tag")
ID_SV = own_id("secondary_variable")
ID_TV = own_id("tertiary_variable")
ID_QV = own_id("quaternary_variable")
ID_PV_CLASS = own_id("pv_classification")
ID_SV_CLASS = own_id("sv_classification")
ID_TV_CLASS = own_id("tv_classification")
ID_QV_CLASS = own_id("qv_classification")
ID_SENSOR_SERIAL = own_id("sensor_serial_number")
ID_SENSOR_UNIT = own_id("sensor_limits_unit")
ID_SENSOR_UPPER = own_id("upper_sensor_limit")
ID_SENSOR_LOWER = own_id("lower_sensor_limit")
ID_MINIMUM_SPAN = own_id("minimum_span")
ID_ANALOG_FLAGS = own_id("analog_channel_flags")
ID_STATUS_SPECIFIC = own_id("device_specific_status")
ID_STATUS_SPECIFIC_2 = own_id("device_specific_status_2")
ID_OPERATING_MODE = own_id("device_operating_mode")
ID_STANDARD_STATUS_0 = own_id("standardized_status_0")
ID_STANDARD_STATUS_1 = own_id("standardized_status_1")
ID_STANDARD_STATUS_2 = own_id("standardized_status_2")
ID_STANDARD_STATUS_3 = own_id("standardized_status_3")
ID_CHANNEL_SATURATED = own_id("analog_channel_saturated")
ID_CHANNEL_FIXED = own_id("analog_channel_fixed")
ID_OPERATIONAL_MODES_5 = own_id("operational_modes_hart5")
ID_OUTPUTS_SATURATED_5 = own_id("analog_outputs_saturated_hart5")
ID_OUTPUTS_FIXED_5 = own_id("analog_outputs_fixed_hart5")
ID_UNIT_MA = own_id("unit_milliampere")
ID_UNIT_PERCENT = own_id("unit_percent")
ID_UNIT_SECONDS = own_id("unit_seconds")

# Field device status bits: the positioner package's ids and keys.
DEVICE_STATUS_BITS = [  # (id, bit, label, English, German)
    (1945482219, 7, "DevStatus_Malfunction", "Field device malfunction", "Gerätestörung"),
    (1286239704, 6, "DevStatus_ConfigChanged", "Configuration changed", "Konfiguration geändert"),
    (276853568, 5, "DevStatus_ColdStart", "Cold start", "Kaltstart"),
    (1866460254, 4, "DevStatus_MoreStatus", "More status available", "Weiterer Status verfügbar"),
    (117239304, 3, "DevStatus_CurrentFixed", "Loop current fixed", "Schleifenstrom fest"),
    (884128352, 2, "DevStatus_CurrentSaturated", "Loop current saturated",
     "Schleifenstrom gesättigt"),
    (779070739, 1, "DevStatus_NonPvOutOfLimits", "Non-primary variable out of limits",
     "Nicht-Primärvariable außerhalb der Grenzen"),
    (1618195054, 0, "DevStatus_PvOutOfLimits", "Primary variable out of limits",
     "Primärvariable außerhalb der Grenzen"),
]

DEVICE_FLAG_BITS = [
    (0, "multi_sensor", "Multi-sensor device", "Mehrsensorgerät"),
    (1, "eeprom_control", "EEPROM control", "EEPROM-Steuerung"),
    (2, "protocol_bridge", "Protocol bridge device", "Protokoll-Brückengerät"),
    (3, "ieee802154", "IEEE 802.15.4 radio", "Funk nach IEEE 802.15.4"),
    (6, "c8psk_capable", "C8PSK capable", "C8PSK-fähig"),
    (7, "c8psk_multidrop", "C8PSK in multidrop only", "C8PSK nur im Multidrop"),
]

EXTENDED_STATUS_BITS = [
    (0, "maintenance_required", "Maintenance required", "Wartung erforderlich"),
    (1, "variable_alert", "Device variable alert", "Alarm einer Gerätevariable"),
    (2, "power_failure", "Critical power failure", "Kritischer Stromausfall"),
    (3, "failure", "Failure", "Ausfall"),
    (4, "out_of_specification", "Out of specification", "Außerhalb der Spezifikation"),
    (5, "function_check", "Function check", "Funktionskontrolle"),
]

STANDARD_STATUS_0_BITS = [
    (0, "simulation_active", "Simulation active", "Simulation aktiv"),
    (1, "nonvolatile_defect", "Non-volatile memory defect", "Defekt im nichtflüchtigen Speicher"),
    (2, "volatile_defect", "Volatile memory defect", "Defekt im flüchtigen Speicher"),
    (3, "watchdog_reset", "Watchdog reset executed", "Watchdog-Rücksetzung ausgeführt"),
    (4, "voltage_out_of_range", "Power supply conditions out of range",
     "Versorgungsspannung außerhalb des Bereichs"),
    (5, "environment_out_of_range", "Environmental conditions out of range",
     "Umgebungsbedingungen außerhalb des Bereichs"),
    (6, "electronic_defect", "Electronic defect", "Elektronikdefekt"),
    (7, "configuration_locked", "Device configuration locked", "Gerätekonfiguration gesperrt"),
]

STANDARD_STATUS_1_BITS = [
    (0, "status_simulation", "Status simulation active", "Statussimulation aktiv"),
    (1, "discrete_simulation", "Discrete variable simulation active",
     "Simulation diskreter Variablen aktiv"),
    (2, "event_overflow", "Event notification overflow", "Überlauf der Ereignismeldungen"),
]


# ---------------------------------------------------------------- HART blocks
IDENTIFICATION = [
    Param(ID_TAG, "tag", "packed_ascii", ("Tag", "Messstellenkennzeichen"),
          ("Tag of the device, up to 8 characters.",
           "Messstellenkennzeichen des Geräts, bis zu 8 Zeichen."),
          size=6, access="rw", cmd=13),
    Param(ID_DESCRIPTOR, "descriptor", "packed_ascii", ("Descriptor", "Beschreibung"),
          ("Free text describing the measuring point, up to 16 characters.",
           "Freier Text zur Messstelle, bis zu 16 Zeichen."),
          size=12, access="rw", cmd=13),
    Param(ID_DATE, "date", "date", ("Date", "Datum"),
          ("Date stored in the device, for example of the last calibration.",
           "Im Gerät gespeichertes Datum, zum Beispiel der letzten Kalibrierung."),
          access="rw", cmd=13),
    Param(ID_MESSAGE, "message", "packed_ascii", ("Message", "Nachricht"),
          ("Free message text stored in the device, up to 32 characters.",
           "Im Gerät gespeicherter Nachrichtentext, bis zu 32 Zeichen."),
          size=24, access="rw", cmd=12),
    Param(ID_FINAL_ASSEMBLY, "final_assembly_number", "unsigned24",
          ("Final assembly number", "Endmontagenummer"),
          ("Number of the final assembly of the device.", "Nummer der Endmontage des Geräts."),
          access="rw", cmd=16, default="0"),
    Param(ID_LONG_TAG, "long_tag", "string", ("Long tag", "Langes Messstellenkennzeichen"),
          ("Tag of the device, up to 32 characters (HART 6 and 7).",
           "Messstellenkennzeichen des Geräts, bis zu 32 Zeichen (HART 6 und 7)."),
          size=32, access="rw", cmd=20),
    Param(ID_SEARCH_TAG, "search_tag", "packed_ascii", ("Tag to find", "Gesuchtes Kennzeichen"),
          ("Tag that command 11 asks for; only the device with this tag answers.",
           "Kennzeichen, nach dem Kommando 11 fragt; nur das Gerät mit diesem Kennzeichen antwortet."),
          size=6, access="rw", dynamic=True, cmd=11),
    Param(ID_SEARCH_LONG_TAG, "search_long_tag", "string",
          ("Long tag to find", "Gesuchtes langes Kennzeichen"),
          ("Long tag that command 21 asks for; only the device with this long tag answers.",
           "Langes Kennzeichen, nach dem Kommando 21 fragt; nur das Gerät mit diesem Kennzeichen antwortet."),
          size=32, access="rw", dynamic=True, cmd=21),
    Param(ID_EXPANSION, "hart_expansion_code", "unsigned8", ("Expansion code", "Erweiterungscode"),
          ("First byte of the identification reply, always 254.",
           "Erstes Byte der Identifikationsantwort, immer 254."),
          cmd=0, default="254"),
    Param(ID_MANUFACTURER, "manufacturer_id", "unsigned16", ("Manufacturer", "Hersteller"),
          ("HART manufacturer identification code: 8 bits up to HART 6, 16 bits with HART 7.",
           "HART-Herstellerkennung: 8 Bit bis HART 6, 16 Bit ab HART 7."),
          cmd=0, default="0"),
    Param(ID_DEVICE_TYPE, "device_type", "unsigned16", ("Device type", "Gerätetyp"),
          ("HART device type code: 8 bits up to HART 6, the expanded 16-bit code with HART 7.",
           "HART-Gerätetypcode: 8 Bit bis HART 6, der erweiterte 16-Bit-Code ab HART 7."),
          cmd=0, default="0"),
    Param(ID_EXPANDED_DEVICE_TYPE, "expanded_device_type", "unsigned16",
          ("Expanded device type", "Erweiterter Gerätetyp"),
          ("Bytes 1 and 2 of the identification as one 16-bit code; before HART 7 the manufacturer "
           "code followed by the device type.",
           "Bytes 1 und 2 der Identifikation als ein 16-Bit-Code; vor HART 7 die Herstellerkennung "
           "gefolgt vom Gerätetyp."),
          cmd=0, default="0"),
    Param(ID_PREAMBLES, "preambles", "unsigned8", ("Number of preambles", "Anzahl Präambeln"),
          ("Number of preamble bytes the device needs in a request.",
           "Anzahl der Präambel-Bytes, die das Gerät in einer Anfrage benötigt."),
          cmd=0, default="5"),
    Param(ID_UNIVERSAL_REVISION, "universal_revision", "unsigned8",
          ("Universal revision", "Universal-Revision"),
          ("Revision of the HART universal commands the device implements.",
           "Revision der universellen HART-Kommandos, die das Gerät unterstützt."),
          cmd=0, default="7"),
    Param(ID_DEVICE_REVISION, "transmitter_revision", "unsigned8",
          ("Device revision", "Geräterevision"),
          ("Revision of the device-specific command set.",
           "Revision des gerätespezifischen Kommandosatzes."),
          cmd=0, default="0"),
    Param(ID_SOFTWARE_REVISION, "software_revision", "unsigned8",
          ("Software revision", "Software-Revision"),
          ("Revision of the device firmware.", "Revision der Gerätefirmware."),
          cmd=0, default="0"),
    Param(ID_HW_SIGNALLING, "hardware_signalling", "unsigned8",
          ("Hardware revision and signalling", "Hardware-Revision und Signalisierung"),
          ("Hardware revision (upper five bits) and physical signalling code (lower three bits).",
           "Hardware-Revision (obere fünf Bit) und physikalischer Signalisierungscode (untere drei Bit)."),
          cmd=0, default="0", comps=[
              Param(ID_HARDWARE_REVISION, "hardware_revision", "bit_range",
                    ("Hardware revision", "Hardware-Revision"),
                    ("Revision of the device electronics.", "Revision der Geräteelektronik."),
                    bits=(3, 7)),
              Param(ID_SIGNALLING_CODE, "physical_signalling_code", "bit_range",
                    ("Physical signalling", "Physikalische Signalisierung"),
                    ("Physical layer of the HART signal.", "Physikalische Schicht des HART-Signals."),
                    bits=(0, 2), rng=enum(U.SIGNALLING)),
          ]),
    Param(ID_DEVICE_FLAGS, "device_flags", "unsigned8", ("Device flags", "Geräte-Flags"),
          ("Flags of the identification reply.", "Flags der Identifikationsantwort."),
          cmd=0, default="0", comps=flag_bits("flag", DEVICE_FLAG_BITS)),
    Param(ID_DEVICE_ID, "device_id", "unsigned24", ("Device ID", "Geräte-ID"),
          ("Unique number of the device within its type.",
           "Eindeutige Nummer des Geräts innerhalb seines Typs."),
          cmd=0, default="0"),
    Param(ID_RESPONSE_PREAMBLES, "response_preambles", "unsigned8",
          ("Preambles of the replies", "Präambeln der Antworten"),
          ("Least number of preambles the device sends in its replies (HART 6 and 7).",
           "Kleinste Anzahl Präambeln, die das Gerät in seinen Antworten sendet (HART 6 und 7)."),
          cmd=0, default="5"),
    Param(ID_MAX_DEVICE_VARIABLES, "max_device_variables", "unsigned8",
          ("Number of device variables", "Anzahl Gerätevariablen"),
          ("Highest device variable number the device has (HART 6 and 7).",
           "Höchste Nummer einer Gerätevariablen des Geräts (HART 6 und 7)."),
          cmd=0, default="0"),
    Param(ID_CONFIG_COUNTER, "configuration_change_counter", "unsigned16",
          ("Configuration change counter", "Konfigurationsänderungszähler"),
          ("Counts the changes of the device configuration (HART 6 and 7).",
           "Zählt die Änderungen der Gerätekonfiguration (HART 6 und 7)."),
          cmd=0, default="0"),
    Param(ID_EXTENDED_STATUS, "extended_device_status", "unsigned8",
          ("Extended device status", "Erweiterter Gerätestatus"),
          ("Extended field device status (HART 6 and 7).",
           "Erweiterter Feldgerätestatus (HART 6 und 7)."),
          dynamic=True, cmd=0, default="0",
          comps=flag_bits("extended_status", EXTENDED_STATUS_BITS, dynamic=True)),
    Param(ID_PRIVATE_LABEL_16, "private_label_distributor_16", "unsigned16",
          ("Distributor", "Vertrieb"),
          ("Manufacturer code of the private label distributor (HART 7).",
           "Herstellerkennung des Vertriebs (HART 7)."),
          cmd=0, default="0"),
    Param(ID_DEVICE_PROFILE, "device_profile", "unsigned8", ("Device profile", "Geräteprofil"),
          ("Kind of HART device (HART 7).", "Art des HART-Geräts (HART 7)."),
          cmd=0, rng=enum(U.DEVICE_PROFILE), default="1"),
    Param(ID_POLLING_ADDRESS, "polling_address", "unsigned8", ("Polling address", "Abfrageadresse"),
          ("HART polling address: 0 to 15 up to HART 5, 0 to 63 from HART 6 on.",
           "HART-Abfrageadresse: 0 bis 15 bis HART 5, 0 bis 63 ab HART 6."),
          access="rw", cmd=6, rng="[0 to 63]", default="0"),
    Param(ID_LOOP_CURRENT_MODE, "loop_current_mode", "unsigned8",
          ("Loop current mode", "Schleifenstrommodus"),
          ("Whether the loop current follows the primary variable (HART 6 and 7); "
           "HART 5 devices ignore it and disable the current at addresses 1 to 15.",
           "Ob der Schleifenstrom der Primärvariable folgt (HART 6 und 7); HART-5-Geräte "
           "ignorieren ihn und schalten den Strom bei den Adressen 1 bis 15 ab."),
          access="rw", cmd=6, rng=enum(U.LOOP_CURRENT_MODE), default="1"),
]

PROCESS = [
    Param(ID_LOOP_CURRENT, "loop_current", "float", ("Loop current", "Schleifenstrom"),
          ("Analog loop current of the device.", "Analoger Schleifenstrom des Geräts."),
          dynamic=True, cmd=3, unit=ID_UNIT_MA),
    Param(ID_PERCENT_RANGE, "percent_of_range", "float",
          ("Percent of range", "Prozent des Messbereichs"),
          ("Primary variable in percent of the range.",
           "Primärvariable in Prozent des Messbereichs."),
          dynamic=True, cmd=2, unit=ID_UNIT_PERCENT),
    Param(ID_PV_UNIT, "pv_unit", "unsigned8", ("Primary variable unit", "Einheit Primärvariable"),
          ("Unit of the primary variable and of its range values.",
           "Einheit der Primärvariable und ihrer Messbereichswerte."),
          access="rw", cmd=1, rng=ALL_UNITS, default="57"),
    Param(ID_PV, "primary_variable", "float", ("Primary variable", "Primärvariable"),
          ("Primary variable of the device.", "Primärvariable des Geräts."),
          dynamic=True, cmd=1, unit=ID_PV_UNIT),
    Param(ID_SV_UNIT, "sv_unit", "unsigned8", ("Secondary variable unit", "Einheit Sekundärvariable"),
          ("Unit of the secondary variable.", "Einheit der Sekundärvariable."),
          dynamic=True, cmd=3, rng=ALL_UNITS, default="250"),
    Param(ID_SV, "secondary_variable", "float", ("Secondary variable", "Sekundärvariable"),
          ("Secondary variable of the device.", "Sekundärvariable des Geräts."),
          dynamic=True, cmd=3, unit=ID_SV_UNIT),
    Param(ID_TV_UNIT, "tv_unit", "unsigned8", ("Tertiary variable unit", "Einheit Tertiärvariable"),
          ("Unit of the tertiary variable.", "Einheit der Tertiärvariable."),
          dynamic=True, cmd=3, rng=ALL_UNITS, default="250"),
    Param(ID_TV, "tertiary_variable", "float", ("Tertiary variable", "Tertiärvariable"),
          ("Tertiary variable of the device.", "Tertiärvariable des Geräts."),
          dynamic=True, cmd=3, unit=ID_TV_UNIT),
    Param(ID_QV_UNIT, "qv_unit", "unsigned8", ("Quaternary variable unit", "Einheit Quartärvariable"),
          ("Unit of the quaternary variable.", "Einheit der Quartärvariable."),
          dynamic=True, cmd=3, rng=ALL_UNITS, default="250"),
    Param(ID_QV, "quaternary_variable", "float", ("Quaternary variable", "Quartärvariable"),
          ("Quaternary variable of the device.", "Quartärvariable des Geräts."),
          dynamic=True, cmd=3, unit=ID_QV_UNIT),
] + [
    Param(ref, label, "unsigned8", (en + " classification", de + " Klassifizierung"),
          ("Kind of measurement of the %s (HART 6 and 7)." % en.lower(),
           "Messgröße der %s (HART 6 und 7)." % de),
          cmd=8, rng=enum(U.CLASSIFICATION), default="0")
    for ref, label, en, de in [
        (ID_PV_CLASS, "pv_classification", "Primary variable", "Primärvariable"),
        (ID_SV_CLASS, "sv_classification", "Secondary variable", "Sekundärvariable"),
        (ID_TV_CLASS, "tv_classification", "Tertiary variable", "Tertiärvariable"),
        (ID_QV_CLASS, "qv_classification", "Quaternary variable", "Quartärvariable")]
]

OUTPUT = [
    Param(ID_SENSOR_SERIAL, "sensor_serial_number", "unsigned24",
          ("Sensor serial number", "Sensor-Seriennummer"),
          ("Serial number of the primary variable's sensor.",
           "Seriennummer des Sensors der Primärvariable."),
          cmd=14, default="0"),
    Param(ID_SENSOR_UNIT, "sensor_limits_unit", "unsigned8",
          ("Sensor limits unit", "Einheit Sensorgrenzen"),
          ("Unit of the sensor limits and the minimum span.",
           "Einheit der Sensorgrenzen und der kleinsten Messspanne."),
          cmd=14, rng=ALL_UNITS, default="250"),
    Param(ID_SENSOR_UPPER, "upper_sensor_limit", "float",
          ("Upper sensor limit", "Obere Sensorgrenze"),
          ("Highest value the sensor measures.", "Größter Wert, den der Sensor misst."),
          cmd=14, unit=ID_SENSOR_UNIT),
    Param(ID_SENSOR_LOWER, "lower_sensor_limit", "float",
          ("Lower sensor limit", "Untere Sensorgrenze"),
          ("Lowest value the sensor measures.", "Kleinster Wert, den der Sensor misst."),
          cmd=14, unit=ID_SENSOR_UNIT),
    Param(ID_MINIMUM_SPAN, "minimum_span", "float", ("Minimum span", "Kleinste Messspanne"),
          ("Smallest difference between upper and lower range value.",
           "Kleinste Differenz zwischen Messbereichsende und -anfang."),
          cmd=14, unit=ID_SENSOR_UNIT),
    Param(ID_ALARM_SELECT, "alarm_selection", "unsigned8", ("Alarm selection", "Alarmauswahl"),
          ("Where the loop current goes on a device failure.",
           "Wohin der Schleifenstrom bei einem Geräteausfall geht."),
          cmd=15, rng=enum(U.ALARM_SELECTION), default="250"),
    Param(ID_TRANSFER_FUNCTION, "transfer_function", "unsigned8",
          ("Transfer function", "Übertragungsfunktion"),
          ("Relation between primary variable and loop current.",
           "Zusammenhang zwischen Primärvariable und Schleifenstrom."),
          cmd=15, rng=enum(U.TRANSFER_FUNCTION), default="0"),
    Param(ID_URV, "upper_range_value", "float", ("Upper range value", "Messbereichsende"),
          ("Primary variable at which the loop current is 20 mA.",
           "Primärvariable, bei der der Schleifenstrom 20 mA beträgt."),
          access="rw", cmd=15, unit=ID_PV_UNIT, default="100"),
    Param(ID_LRV, "lower_range_value", "float", ("Lower range value", "Messbereichsanfang"),
          ("Primary variable at which the loop current is 4 mA.",
           "Primärvariable, bei der der Schleifenstrom 4 mA beträgt."),
          access="rw", cmd=15, unit=ID_PV_UNIT, default="0"),
    Param(ID_DAMPING, "damping", "float", ("Damping", "Dämpfung"),
          ("Time constant of the primary variable.", "Zeitkonstante der Primärvariable."),
          access="rw", cmd=15, unit=ID_UNIT_SECONDS, lo="0", hi="3600", default="0"),
    Param(ID_WRITE_PROTECT, "write_protect", "unsigned8", ("Write protection", "Schreibschutz"),
          ("Whether the device refuses write commands.",
           "Ob das Gerät Schreibkommandos zurückweist."),
          cmd=15, rng=enum(U.WRITE_PROTECT), default="250"),
    Param(ID_PRIVATE_LABEL, "private_label_distributor", "unsigned8",
          ("Distributor (command 15)", "Vertrieb (Kommando 15)"),
          ("Manufacturer code of the private label distributor up to HART 6; HART 7 devices "
           "send 250 and give the distributor in the identification.",
           "Herstellerkennung des Vertriebs bis HART 6; HART-7-Geräte senden 250 und nennen "
           "den Vertrieb in der Identifikation."),
          cmd=15, default="250"),
    Param(ID_ANALOG_FLAGS, "analog_channel_flags", "unsigned8",
          ("Analog channel flags", "Analogkanal-Flags"),
          ("Bit 0 set: the primary variable's analog channel is an input (HART 6 and 7).",
           "Bit 0 gesetzt: der Analogkanal der Primärvariable ist ein Eingang (HART 6 und 7)."),
          cmd=15, default="0"),
]

STATUS = [
    Param(ID_STATUS_SPECIFIC, "device_specific_status", "bitmap",
          ("Device-specific status", "Gerätespezifischer Status"),
          ("Bytes 0 to 5 of the additional device status; their meaning is the device's own.",
           "Bytes 0 bis 5 des zusätzlichen Gerätestatus; ihre Bedeutung legt das Gerät fest."),
          size=6, dynamic=True, cmd=48),
    Param(ID_OPERATING_MODE, "device_operating_mode", "unsigned8",
          ("Device operating mode", "Betriebsart des Geräts"),
          ("Byte 7 of the additional device status (HART 6 and 7, reserved).",
           "Byte 7 des zusätzlichen Gerätestatus (HART 6 und 7, reserviert)."),
          dynamic=True, cmd=48, default="0"),
    Param(ID_STANDARD_STATUS_0, "standardized_status_0", "unsigned8",
          ("Standardized status 0", "Standardisierter Status 0"),
          ("Byte 8 of the additional device status (HART 6 and 7).",
           "Byte 8 des zusätzlichen Gerätestatus (HART 6 und 7)."),
          dynamic=True, cmd=48, default="0",
          comps=flag_bits("standard_status_0", STANDARD_STATUS_0_BITS, dynamic=True)),
    Param(ID_STANDARD_STATUS_1, "standardized_status_1", "unsigned8",
          ("Standardized status 1", "Standardisierter Status 1"),
          ("Byte 9 of the additional device status (HART 6 and 7).",
           "Byte 9 des zusätzlichen Gerätestatus (HART 6 und 7)."),
          dynamic=True, cmd=48, default="0",
          comps=flag_bits("standard_status_1", STANDARD_STATUS_1_BITS, dynamic=True)),
    Param(ID_CHANNEL_SATURATED, "analog_channel_saturated", "unsigned8",
          ("Analog channels saturated", "Analogkanäle gesättigt"),
          ("Byte 10 of the additional device status, one bit per analog channel (HART 6 and 7).",
           "Byte 10 des zusätzlichen Gerätestatus, ein Bit je Analogkanal (HART 6 und 7)."),
          dynamic=True, cmd=48, default="0"),
    Param(ID_STANDARD_STATUS_2, "standardized_status_2", "unsigned8",
          ("Standardized status 2", "Standardisierter Status 2"),
          ("Byte 11 of the additional device status (HART 6 and 7).",
           "Byte 11 des zusätzlichen Gerätestatus (HART 6 und 7)."),
          dynamic=True, cmd=48, default="0"),
    Param(ID_STANDARD_STATUS_3, "standardized_status_3", "unsigned8",
          ("Standardized status 3", "Standardisierter Status 3"),
          ("Byte 12 of the additional device status (HART 6 and 7).",
           "Byte 12 des zusätzlichen Gerätestatus (HART 6 und 7)."),
          dynamic=True, cmd=48, default="0"),
    Param(ID_CHANNEL_FIXED, "analog_channel_fixed", "unsigned8",
          ("Analog channels fixed", "Analogkanäle fest"),
          ("Byte 13 of the additional device status, one bit per analog channel (HART 6 and 7).",
           "Byte 13 des zusätzlichen Gerätestatus, ein Bit je Analogkanal (HART 6 und 7)."),
          dynamic=True, cmd=48, default="0"),
    Param(ID_STATUS_SPECIFIC_2, "device_specific_status_2", "bitmap",
          ("Further device-specific status", "Weiterer gerätespezifischer Status"),
          ("Bytes 14 to 24 of the additional device status; their meaning is the device's own.",
           "Bytes 14 bis 24 des zusätzlichen Gerätestatus; ihre Bedeutung legt das Gerät fest."),
          size=11, dynamic=True, cmd=48),
    Param(ID_OPERATIONAL_MODES_5, "operational_modes_hart5", "bitmap",
          ("Operational modes (HART 5)", "Betriebsarten (HART 5)"),
          ("Bytes 6 and 7 of the additional device status of a HART 5 device.",
           "Bytes 6 und 7 des zusätzlichen Gerätestatus eines HART-5-Geräts."),
          size=2, dynamic=True, cmd=48),
    Param(ID_OUTPUTS_SATURATED_5, "analog_outputs_saturated_hart5", "bitmap",
          ("Analog outputs saturated (HART 5)", "Analogausgänge gesättigt (HART 5)"),
          ("Bytes 8 to 10 of the additional device status of a HART 5 device.",
           "Bytes 8 bis 10 des zusätzlichen Gerätestatus eines HART-5-Geräts."),
          size=3, dynamic=True, cmd=48),
    Param(ID_OUTPUTS_FIXED_5, "analog_outputs_fixed_hart5", "bitmap",
          ("Analog outputs fixed (HART 5)", "Analogausgänge fest (HART 5)"),
          ("Bytes 11 to 13 of the additional device status of a HART 5 device.",
           "Bytes 11 bis 13 des zusätzlichen Gerätestatus eines HART-5-Geräts."),
          size=3, dynamic=True, cmd=48),
]

HART_BLOCKS = [("identification", IDENTIFICATION), ("process", PROCESS), ("output", OUTPUT),
               ("status", STATUS)]

# ---------------------------------------------------------------- internal interface
UNIT_CONSTANTS = [
    Param(ID_UNIT_MA, "unit_milliampere", "unsigned8", ("Current unit", "Stromeinheit"),
          ("Fixed unit of the loop current.", "Feste Einheit des Schleifenstroms."),
          rng=unit_enum((39,)), default="39"),
    Param(ID_UNIT_PERCENT, "unit_percent", "unsigned8", ("Percent unit", "Prozenteinheit"),
          ("Fixed unit of the percent of range.", "Feste Einheit des Prozentwerts."),
          rng=unit_enum((57,)), default="57"),
    Param(ID_UNIT_SECONDS, "unit_seconds", "unsigned8", ("Time unit", "Zeiteinheit"),
          ("Fixed unit of the damping.", "Feste Einheit der Dämpfung."),
          rng=unit_enum((51,)), default="51"),
]

COMMUNICATION = [
    Param(ID_SHORT_ADDRESS, "short_address", "unsigned8", ("Short address", "Kurzadresse"),
          ("HART short address under which the DTM connects to the device.",
           "HART-Kurzadresse, unter der sich das DTM mit dem Gerät verbindet."),
          access="rw", rng="[0 to 63]", default="0"),
    Param(ID_DEVICE_STATUS, "device_status", "bitmap", ("Device status", "Gerätestatus"),
          ("Field device status byte of the last HART reply.",
           "Feldgerätestatus-Byte der letzten HART-Antwort."),
          size=1, dynamic=True, comps=[
              Param(ref, label, "bit_range", (en, de),
                    ("%s (bit %d of the device status)." % (en, bit),
                     "%s (Bit %d des Gerätestatus)." % (de, bit)),
                    bits=(bit, bit), dynamic=True)
              for ref, bit, label, en, de in DEVICE_STATUS_BITS]),
    Param(ID_RESPONSE_CODE, "response_code", "unsigned8", ("Response code", "Antwortcode"),
          ("Response code of the last HART reply.", "Antwortcode der letzten HART-Antwort."),
          dynamic=True, default="0"),
    Param(ID_IGNORED_CODES, "ignored_response_codes", "string",
          ("Ignored response codes", "Ignorierte Antwortcodes"),
          ("Response codes treated as success; 8 is the warning of a value set to the nearest "
           "possible one.",
           "Antwortcodes, die als Erfolg gelten; 8 ist die Warnung für einen auf den "
           "nächstmöglichen Wert gesetzten Wert."),
          size=32, default="8"),
]

INTERNAL_BLOCKS = [("units", UNIT_CONSTANTS)]


# ---------------------------------------------------------------- commands
class Command:
    """A command element. Reply items are ids (placed after the previous item,
    with the parameter's size) or (id, position, size) triples."""

    def __init__(self, number, block, text, revisions, query=(), reply=(), index=0):
        self.number = number
        self.block = block
        self.text = text
        self.revisions = revisions
        self.query = list(query)
        self.reply = list(reply)
        self.index = index


IDENTITY_REPLY = [
    ID_EXPANSION, (ID_MANUFACTURER, 1, 1), (ID_DEVICE_TYPE, 2, 1), (ID_EXPANDED_DEVICE_TYPE, 1, 2),
    ID_PREAMBLES, ID_UNIVERSAL_REVISION, ID_DEVICE_REVISION, ID_SOFTWARE_REVISION,
    ID_HW_SIGNALLING, ID_DEVICE_FLAGS, ID_DEVICE_ID,
    # HART 6
    ID_RESPONSE_PREAMBLES, ID_MAX_DEVICE_VARIABLES, ID_CONFIG_COUNTER, ID_EXTENDED_STATUS,
    # HART 7
    (ID_MANUFACTURER, 17, 2), ID_PRIVATE_LABEL_16, ID_DEVICE_PROFILE,
    # HART 7 only: the expanded device type replaces the 8-bit one
    (ID_DEVICE_TYPE, 1, 2),
]

RANGES = [ID_PV_UNIT, ID_URV, ID_LRV]
STATUS_6 = [ID_STATUS_SPECIFIC, ID_EXTENDED_STATUS, ID_OPERATING_MODE, ID_STANDARD_STATUS_0,
            ID_STANDARD_STATUS_1, ID_CHANNEL_SATURATED, ID_STANDARD_STATUS_2,
            ID_STANDARD_STATUS_3, ID_CHANNEL_FIXED, ID_STATUS_SPECIFIC_2]
STATUS_5 = [ID_STATUS_SPECIFIC, ID_OPERATIONAL_MODES_5, ID_OUTPUTS_SATURATED_5,
            ID_OUTPUTS_FIXED_5, ID_STATUS_SPECIFIC_2]
ALL = "5 6 7"
LATER = "6 7"

COMMANDS = [
    Command(0, "identification", "Read unique identifier", ALL, reply=IDENTITY_REPLY),
    Command(1, "process", "Read primary variable", ALL, reply=[ID_PV_UNIT, ID_PV]),
    Command(2, "process", "Read loop current and percent of range", ALL,
            reply=[ID_LOOP_CURRENT, ID_PERCENT_RANGE]),
    Command(3, "process", "Read dynamic variables and loop current", ALL,
            reply=[ID_LOOP_CURRENT, ID_PV_UNIT, ID_PV, ID_SV_UNIT, ID_SV, ID_TV_UNIT, ID_TV,
                   ID_QV_UNIT, ID_QV]),
    Command(6, "identification", "Write polling address", ALL,
            query=[ID_POLLING_ADDRESS, ID_LOOP_CURRENT_MODE],
            reply=[ID_POLLING_ADDRESS, ID_LOOP_CURRENT_MODE]),
    Command(7, "identification", "Read loop configuration", LATER,
            reply=[ID_POLLING_ADDRESS, ID_LOOP_CURRENT_MODE]),
    Command(8, "process", "Read dynamic variable classifications", LATER,
            reply=[ID_PV_CLASS, ID_SV_CLASS, ID_TV_CLASS, ID_QV_CLASS]),
    Command(11, "identification", "Read unique identifier associated with tag", ALL,
            query=[ID_SEARCH_TAG], reply=IDENTITY_REPLY),
    Command(12, "identification", "Read message", ALL, reply=[ID_MESSAGE]),
    Command(13, "identification", "Read tag, descriptor and date", ALL,
            reply=[ID_TAG, ID_DESCRIPTOR, ID_DATE]),
    Command(14, "output", "Read primary variable transducer information", ALL,
            reply=[ID_SENSOR_SERIAL, ID_SENSOR_UNIT, ID_SENSOR_UPPER, ID_SENSOR_LOWER,
                   ID_MINIMUM_SPAN]),
    Command(15, "output", "Read device information", ALL,
            reply=[ID_ALARM_SELECT, ID_TRANSFER_FUNCTION, ID_PV_UNIT, ID_URV, ID_LRV,
                   ID_DAMPING, ID_WRITE_PROTECT, ID_PRIVATE_LABEL, ID_ANALOG_FLAGS]),
    Command(16, "identification", "Read final assembly number", ALL, reply=[ID_FINAL_ASSEMBLY]),
    Command(17, "identification", "Write message", ALL, query=[ID_MESSAGE], reply=[ID_MESSAGE]),
    Command(18, "identification", "Write tag, descriptor and date", ALL,
            query=[ID_TAG, ID_DESCRIPTOR, ID_DATE], reply=[ID_TAG, ID_DESCRIPTOR, ID_DATE]),
    Command(19, "identification", "Write final assembly number", ALL,
            query=[ID_FINAL_ASSEMBLY], reply=[ID_FINAL_ASSEMBLY]),
    Command(20, "identification", "Read long tag", LATER, reply=[ID_LONG_TAG]),
    Command(21, "identification", "Read unique identifier associated with long tag", LATER,
            query=[ID_SEARCH_LONG_TAG], reply=IDENTITY_REPLY),
    Command(22, "identification", "Write long tag", LATER,
            query=[ID_LONG_TAG], reply=[ID_LONG_TAG]),
    Command(34, "output", "Write primary variable damping value", ALL,
            query=[ID_DAMPING], reply=[ID_DAMPING]),
    Command(35, "output", "Write primary variable range values", ALL,
            query=RANGES, reply=RANGES),
    Command(38, "status", "Reset configuration changed flag", ALL),
    Command(38, "status", "Reset configuration changed flag, with the change counter", "7",
            query=[ID_CONFIG_COUNTER], reply=[ID_CONFIG_COUNTER], index=7),
    Command(44, "output", "Write primary variable units", ALL,
            query=[ID_PV_UNIT], reply=[ID_PV_UNIT]),
    Command(48, "status", "Read additional device status", ALL, reply=STATUS_6),
    Command(48, "status", "Read additional device status, HART 5 layout", "5",
            reply=STATUS_5, index=5),
]

# Whole-device transfers. The upload reads every universal command that reads
# data; the download writes units before the range values (a unit change
# converts the range in the device) and the polling address last (the device
# answers at the new address afterwards).
UPLOAD = [0, 1, 2, 3, 7, 8, 12, 13, 14, 15, 16, 20, 48]
DOWNLOAD = [18, 17, 19, 22, 44, 35, 34, 6]
# What HART 5 devices answer: without the HART 6 commands 7, 8, 20 and 22.
UPLOAD_HART5 = [0, 1, 2, 3, 12, 13, 14, 15, 16, 48]
DOWNLOAD_HART5 = [18, 17, 19, 44, 35, 34, 6]
