"""The Ravik valve positioner as data: parameters, HART commands and texts.

positioner_package.py turns these tables into the package files. Every
parameter is declared once with its wire type, access, restrictions and its
English and German texts; every command lists the parameters of its request
and reply in byte order, so positions follow from the types and cannot drift.
"""

# --- Reference ids of our own (the device's identity bytes, unit codes and
# --- structured parameters that the workflows and panels do not name) -------
ID_EXPANSION = 1315315730
ID_HWREV_BYTE = 1768687919
ID_SIGNALLING = 1665513852
ID_PV_UNIT = 734958443
ID_SV_UNIT = 565873961
ID_TV_UNIT = 1746840055
ID_QV_UNIT = 331779412
ID_RANGE_UNIT = 795082303
ID_ADD_STATUS = 1552415878
ID_SIG_CURVE_OPEN = 1636062463
ID_SIG_CURVE_CLOSE = 1867581478
ID_CHARACTERISTIC = 802003863
ID_UNIT_PERCENT = 728669670
ID_UNIT_MA = 46808859
ID_UNIT_DEGC = 507360753
ID_UNIT_SECONDS = 1515399250
ID_UNIT_PSI = 1465992091
ID_BURST_POINTER = 663404560
DEVICE_STATUS_BITS = [  # (id, bit, label, English, German)
    (1945482219, 7, "DevStatus_Malfunction", "Field device malfunction", "Gerätestörung"),
    (1286239704, 6, "DevStatus_ConfigChanged", "Configuration changed", "Konfiguration geändert"),
    (276853568, 5, "DevStatus_ColdStart", "Cold start", "Kaltstart"),
    (1866460254, 4, "DevStatus_MoreStatus", "More status available", "Weiterer Status verfügbar"),
    (117239304, 3, "DevStatus_CurrentFixed", "Loop current fixed", "Schleifenstrom fest"),
    (884128352, 2, "DevStatus_CurrentSaturated", "Loop current saturated", "Schleifenstrom gesättigt"),
    (779070739, 1, "DevStatus_NonPvOutOfLimits", "Non-primary variable out of limits",
     "Nicht-Primärvariable außerhalb der Grenzen"),
    (1618195054, 0, "DevStatus_PvOutOfLimits", "Primary variable out of limits",
     "Primärvariable außerhalb der Grenzen"),
]

# Fixed ids of the engine and the communication channel.
ID_TAG = 1122622930
ID_DEVICE_STATUS = 210179647
ID_RESPONSE_CODE = 439972815
ID_IGNORED_CODES = 1274278243
ID_PRESSURE_UNIT = 918008295

MANUFACTURER_ID = 171
DEVICE_TYPE = 33
UNIVERSAL_REVISION = 5
DEVICE_REVISION = 1
SOFTWARE_REVISION = 3

# Units are HART common-table codes; the unit parameters carry the code with a
# "{code,text}" range entry, which is how a unit code becomes its text.
UNIT_PARAMS = {
    '%': (ID_UNIT_PERCENT, 57),
    'mA': (ID_UNIT_MA, 39),
    'degC': (ID_UNIT_DEGC, 32),
    's': (ID_UNIT_SECONDS, 51),
    'psi': (ID_UNIT_PSI, 6),
}
PRESSURE = 'pressure'  # unit taken from the configured pressure unit code

INTEGER_WIDTH = {'unsigned8': 1, 'unsigned16': 2, 'unsigned24': 3, 'unsigned32': 4,
                 'signed8': 1, 'signed16': 2, 'signed24': 3, 'signed32': 4}


class Param:
    """One description parameter (or component)."""

    def __init__(self, pid, label, name, type_name, en, de, hen, hde, size=None,
                 writable=False, dynamic=False, unit=None, default=None, enum=None,
                 range_text=None, lo=None, hi=None, scaling=None, code=None,
                 bits=None, array=False, value_pointer=None):
        self.id = pid
        self.label = label
        self.name = name
        self.type = type_name
        self.en, self.de, self.hen, self.hde = en, de, hen, hde
        self.writable = writable
        self.dynamic = dynamic
        self.unit = unit
        self.default = default
        self.enum = enum                  # [(number, text key)] for "[n,text]" ranges
        self.range_text = range_text      # any other range constant
        self.lo, self.hi = lo, hi         # number, or ('ptr', id)
        self.scaling = scaling
        self.code = code                  # HART command that reads (or carries) it
        self.bits = bits                  # (lower_index, upper_index) of a bit range
        self.array = array
        self.value_pointer = value_pointer
        self.components = []
        self.explicit_size = size

    @property
    def size(self):
        """Byte count on the wire (0 for kinds that have no bytes)."""
        if self.type == 'complex' or self.array:
            return sum(c.size for c in self.components)
        if self.type in INTEGER_WIDTH:
            return INTEGER_WIDTH[self.type]
        if self.type == 'float':
            return 4
        if self.type == 'date':
            return 3
        if self.type in ('packed_ascii', 'string', 'bitmap'):
            return self.explicit_size
        return 0

    def range_constant(self):
        if self.enum is not None:
            text = ''.join('[%d,%s]' % e for e in self.enum)
            return text + (self.range_text or '')
        return self.range_text


BLOCKS = []        # (interface, block name or None, [Param]) in document order
_current = None


def block(interface, name):
    global _current
    _current = []
    BLOCKS.append((interface, name, _current))


def p(*args, **kwargs):
    param = Param(*args, **kwargs)
    _current.append(param)
    return param


OFF_ON = [(0, 'Off'), (1, 'On')]

# ---------------------------------------------------------------------------
# Identification and HART
block('hart', 'Identification')
p(ID_EXPANSION, 'nExpansionCode', 'expansion_code', 'unsigned8', 'Expansion code', 'Erweiterungscode',
  'First byte of the identification, always 254.', 'Erstes Byte der Identifikation, immer 254.',
  default='254', code=0)
p(2024606965, 'manufacturer_id', 'manufacturer_id', 'unsigned8', 'Manufacturer', 'Hersteller',
  'HART manufacturer identification code of the device.',
  'HART-Herstellerkennung des Geräts.',
  default=str(MANUFACTURER_ID), enum=[(MANUFACTURER_ID, 'ManufacturerVarnholt')], code=0)
p(965867385, 'device_type', 'device_type', 'unsigned8', 'Device type', 'Gerätetyp',
  'HART device type code of the device.', 'HART-Gerätetypcode des Geräts.',
  default=str(DEVICE_TYPE), enum=[(DEVICE_TYPE, 'DeviceTypeRavik')], code=0)
p(1433626506, 'nPreambles', 'preambles', 'unsigned8', 'Preambles', 'Präambeln',
  'Number of preambles the device asks for in requests.',
  'Anzahl der Präambeln, die das Gerät in Anfragen erwartet.',
  default='5', lo=5, hi=20, code=0)
p(438775785, 'universal_revision', 'universal_revision', 'unsigned8', 'Universal revision',
  'Universal-Revision', 'Revision of the HART universal commands the device implements.',
  'Revision der universellen HART-Kommandos, die das Gerät unterstützt.',
  default=str(UNIVERSAL_REVISION), code=0)
p(1340043404, 'transmitter_revision', 'device_revision', 'unsigned8', 'Device revision',
  'Geräterevision', 'Revision of the device-specific command set.',
  'Revision des gerätespezifischen Kommandosatzes.', default=str(DEVICE_REVISION), code=0)
p(1931717749, 'software_revision', 'software_revision', 'unsigned8', 'Software revision',
  'Software-Revision', 'Revision of the device firmware.', 'Revision der Gerätefirmware.',
  default=str(SOFTWARE_REVISION), code=0)
hw = p(ID_HWREV_BYTE, 'bHwRevSignalling', 'hardware_revision_signalling', 'bitmap',
       'Hardware revision and signalling', 'Hardware-Revision und Signalisierung',
       'Hardware revision (upper five bits) and physical signalling code (lower three bits).',
       'Hardware-Revision (obere fünf Bit) und physikalischer Signalisierungscode (untere drei Bit).',
       size=1, code=0)
hw.components = [
    Param(1668548460, 'hardware_revision', 'hardware_revision', 'bit_range', 'Hardware revision',
          'Hardware-Revision', 'Revision of the device electronics.', 'Revision der Geräteelektronik.',
          bits=(3, 7)),
    Param(ID_SIGNALLING, 'physical_signalling', 'physical_signalling', 'bit_range',
          'Physical signalling code', 'Physikalischer Signalisierungscode',
          'Physical layer of the HART connection; 0 is Bell 202 current.',
          'Physikalische Schicht der HART-Verbindung; 0 ist Bell 202 Strom.', bits=(0, 2)),
]
p(1117277483, 'device_flags', 'device_flags', 'unsigned8', 'Device flags', 'Geräte-Flags',
  'HART device flags of the identification.', 'HART-Geräte-Flags der Identifikation.',
  default='0', code=0)
p(444726575, 'device_id', 'device_id', 'unsigned24', 'Device ID', 'Geräte-ID',
  'Unique number of the device within its type.', 'Eindeutige Nummer des Geräts innerhalb seines Typs.',
  default='0', lo=0, hi=16777215, code=0)
p(ID_TAG, 'tag', 'tag', 'packed_ascii', 'Tag', 'Messstellenkennzeichen',
  'Tag of the device (up to 8 characters).', 'Messstellenkennzeichen des Geräts (bis zu 8 Zeichen).',
  size=6, writable=True, code=13)
p(1331626720, 'descriptor', 'descriptor', 'packed_ascii', 'Descriptor', 'Beschreibung',
  'Free text that describes the device (up to 16 characters).',
  'Freier Text zur Beschreibung des Geräts (bis zu 16 Zeichen).',
  size=12, writable=True, default='RAVIK POSITIONER', code=13)
p(36205890, 'date', 'date', 'date', 'Date', 'Datum',
  'Date stored in the device, for example of the last calibration.',
  'Im Gerät gespeichertes Datum, zum Beispiel der letzten Kalibrierung.', writable=True, code=13)
p(1031198652, 'message', 'message', 'packed_ascii', 'Message', 'Nachricht',
  'Free message stored in the device (up to 32 characters).',
  'Im Gerät gespeicherte freie Nachricht (bis zu 32 Zeichen).', size=24, writable=True, code=12)
p(1085386367, 'final_assembly_number', 'final_assembly_number', 'unsigned24',
  'Final assembly number', 'Endmontagenummer', 'Number of the final assembly of the device.',
  'Nummer der Endmontage des Geräts.', writable=True, default='0', lo=0, hi=16777215, code=16)
p(480012922, 'polling_address', 'polling_address', 'unsigned8', 'Polling address', 'Abfrageadresse',
  'Short address of the device on the HART loop; 0 keeps the analog signal active.',
  'Kurzadresse des Geräts in der HART-Schleife; 0 lässt das Analogsignal aktiv.',
  writable=True, default='0', lo=0, hi=15, code=6)
p(266860845, 'burst_mode_select', 'burst_mode', 'unsigned8', 'Burst mode', 'Burst-Modus',
  'Switches the cyclic burst messages of the device on or off.',
  'Schaltet die zyklischen Burst-Telegramme des Geräts ein oder aus.',
  writable=True, default='0', enum=OFF_ON, code=109)
p(441397865, 'burst_command_number', 'burst_command', 'unsigned8', 'Burst command', 'Burst-Kommando',
  'HART command whose reply the device sends in burst mode.',
  'HART-Kommando, dessen Antwort das Gerät im Burst-Modus sendet.',
  writable=True, default='3', enum=[(1, 'BurstCmd1'), (2, 'BurstCmd2'), (3, 'BurstCmd3')], code=108)
p(ID_ADD_STATUS, 'bAdditionalStatus', 'additional_status', 'bitmap', 'Additional device status',
  'Zusätzlicher Gerätestatus', 'Device-specific status bytes of the additional status.',
  'Gerätespezifische Statusbytes des zusätzlichen Status.', size=6, dynamic=True, code=48)

# ---------------------------------------------------------------------------
block('hart', 'Process')
UNIT_CODES = [(57, '%'), (39, 'mA'), (6, 'psi'), (7, 'bar'), (12, 'kPa'), (32, 'degC')]
p(698020263, 'fSignal', 'input_signal', 'float', 'Input signal', 'Eingangssignal',
  'Loop current that the positioner receives as its setpoint signal.',
  'Schleifenstrom, den der Stellungsregler als Sollwertsignal erhält.',
  dynamic=True, unit='mA', default='4', lo=0, hi=24, code=3)
p(ID_PV_UNIT, 'pv_unit', 'pv_unit', 'unsigned8', 'Position unit', 'Einheit der Stellung',
  'Unit code of the primary variable (position).', 'Einheitencode der Primärvariablen (Stellung).',
  dynamic=True, default='57', enum=UNIT_CODES, code=3)
p(196666074, 'fPos', 'position', 'float', 'Position', 'Stellung',
  'Measured valve position.', 'Gemessene Ventilstellung.',
  dynamic=True, unit='%', default='0', lo=0, hi=100, code=3)
p(ID_SV_UNIT, 'sv_unit', 'sv_unit', 'unsigned8', 'Secondary variable unit', 'Einheit der Sekundärvariablen',
  'Unit code of the secondary variable (actuator pressure 1).',
  'Einheitencode der Sekundärvariablen (Antriebsdruck 1).',
  dynamic=True, default='6', enum=UNIT_CODES, code=3)
p(ID_TV_UNIT, 'tv_unit', 'tv_unit', 'unsigned8', 'Tertiary variable unit', 'Einheit der Tertiärvariablen',
  'Unit code of the tertiary variable (actuator pressure 2).',
  'Einheitencode der Tertiärvariablen (Antriebsdruck 2).',
  dynamic=True, default='6', enum=UNIT_CODES, code=3)
p(ID_QV_UNIT, 'qv_unit', 'qv_unit', 'unsigned8', 'Quaternary variable unit',
  'Einheit der Quartärvariablen', 'Unit code of the quaternary variable (supply pressure).',
  'Einheitencode der Quartärvariablen (Zuluftdruck).',
  dynamic=True, default='6', enum=UNIT_CODES, code=3)
for pid, label, name, en, de in [
        (44816747, 'fActuatorPressure1', 'actuator_pressure_1', 'Actuator pressure 1', 'Antriebsdruck 1'),
        (573452228, 'fActuatorPressure2', 'actuator_pressure_2', 'Actuator pressure 2', 'Antriebsdruck 2'),
        (1263913321, 'fSupplyPressure', 'supply_pressure', 'Supply pressure', 'Zuluftdruck'),
        (808165504, 'fPilotPressure', 'pilot_pressure', 'Pilot pressure', 'Vorsteuerdruck')]:
    p(pid, label, name, 'float', en, de,
      '%s, in the configured pressure unit.' % en, '%s in der eingestellten Druckeinheit.' % de,
      dynamic=True, unit=PRESSURE, default='0', lo=0, hi=('ptr', 1525348713), code=201)
for pid, label, name, en, de, hen, hde, default in [
        (910920976, 'nBoardTemp', 'board_temperature', 'Board temperature', 'Elektroniktemperatur',
         'Temperature of the electronics.', 'Temperatur der Elektronik.', '250'),
        (728053547, 'nLowerTemp', 'lowest_temperature', 'Lowest temperature', 'Niedrigste Temperatur',
         'Lowest electronics temperature recorded.', 'Niedrigste aufgezeichnete Elektroniktemperatur.', '250'),
        (1378508088, 'nUpperTemp', 'highest_temperature', 'Highest temperature', 'Höchste Temperatur',
         'Highest electronics temperature recorded.', 'Höchste aufgezeichnete Elektroniktemperatur.', '250')]:
    p(pid, label, name, 'signed16', en, de, hen + ' The device counts in tenths of a degree.',
      hde + ' Das Gerät zählt in Zehntelgrad.', dynamic=True, unit='degC', default=default,
      lo=-400, hi=850, scaling='0.1', code=201)
for pid, label, name, en, de, hen, hde in [
        (921161350, 'nSig', 'signal_raw', 'Signal (raw)', 'Signal (roh)',
         'Converter count of the input signal, about one count per microampere.',
         'Wandlerwert des Eingangssignals, etwa ein Wert pro Mikroampere.'),
        (1656509292, 'nPos', 'position_raw', 'Position (raw)', 'Stellung (roh)',
         'Converter count of the position sensor.', 'Wandlerwert des Stellungssensors.'),
        (1192987532, 'nPres', 'pressure_raw', 'Pressure (raw)', 'Druck (roh)',
         'Converter count of the pressure sensor.', 'Wandlerwert des Drucksensors.'),
        (1856708259, 'nIPOutput', 'ip_output_raw', 'I/P output (raw)', 'I/P-Ausgang (roh)',
         'Drive value of the I/P converter.', 'Ansteuerwert des I/P-Wandlers.'),
        (1696477368, 'nLowerPos', 'lower_stop_raw', 'Lower stop (raw)', 'Unterer Anschlag (roh)',
         'Position sensor count at the lower valve stop.', 'Wert des Stellungssensors am unteren Anschlag.'),
        (645143289, 'nUpperPos', 'upper_stop_raw', 'Upper stop (raw)', 'Oberer Anschlag (roh)',
         'Position sensor count at the upper valve stop.', 'Wert des Stellungssensors am oberen Anschlag.')]:
    hi = 25000 if pid == 921161350 else 65535
    p(pid, label, name, 'unsigned16', en, de, hen, hde, dynamic=True,
      default='4000' if pid == 921161350 else '0', lo=0, hi=hi, code=141)
p(1269495809, 'nIPCurrent', 'ip_current', 'float', 'I/P current', 'I/P-Strom',
  'Current through the I/P converter coil.', 'Strom durch die Spule des I/P-Wandlers.',
  dynamic=True, unit='mA', default='0', lo=0, hi=5, code=141)
p(877524290, 'nIPCount', 'ip_count', 'unsigned16', 'I/P count', 'I/P-Wert',
  'Drive value for the I/P converter that Set I/P count writes (setup mode only).',
  'Ansteuerwert für den I/P-Wandler, den I/P-Wert setzen schreibt (nur in der Einrichtung).',
  writable=True, default='32768', lo=0, hi=65535, code=160)
for pid, label, en, de in [(1426190062, 'bSwitch1State', 'Switch 1', 'Schalter 1'),
                           (1474636899, 'bSwitch2State', 'Switch 2', 'Schalter 2')]:
    p(pid, label, label.lower(), 'unsigned8', en, de, 'Contact state of %s.' % en.lower(),
      'Kontaktzustand von %s.' % de, dynamic=True, default='0',
      enum=[(0, 'SwitchOpen'), (1, 'SwitchClosed')], code=142)

# ---------------------------------------------------------------------------
block('hart', 'Operation')
p(1023235601, 'fManualPos', 'setpoint', 'float', 'Setpoint', 'Sollwert',
  'Setpoint of the valve position; in signal mode the setpoint current in mA.',
  'Sollwert der Ventilstellung; im Signalmodus der Sollstrom in mA.',
  writable=True, unit='%', default='0', lo=0, hi=100, code=154)
p(2093141900, 'cSetpointSource', 'setpoint_source', 'unsigned8', 'Setpoint source', 'Sollwertquelle',
  'How the manual setpoint command is applied.', 'Wie das Kommando für den manuellen Sollwert wirkt.',
  writable=True, default='0', enum=[(0, 'SetpointSignal'), (1, 'SetpointPosition'),
                                    (2, 'SetpointClose'), (3, 'SetpointOpen')], code=155)
p(758096017, 'cManualStopDir', 'manual_stop_direction', 'unsigned8', 'Manual stop', 'Manueller Anschlag',
  'End position that a manual stop drives to.', 'Endlage, in die ein manueller Anschlag fährt.',
  writable=True, default='0', enum=[(0, 'Low'), (1, 'High')], code=155)
MODES = [(0, 'MODE_OOS'), (1, 'MODE_MANUAL'), (3, 'MODE_NORMAL')]
p(1988910801, 'cActiveMode', 'active_mode', 'unsigned8', 'Active mode', 'Aktive Betriebsart',
  'Operating mode the device is in.', 'Betriebsart, in der sich das Gerät befindet.',
  dynamic=True, default='3', enum=MODES, code=249)
p(326335648, 'cOosSubmode', 'out_of_service_reason', 'unsigned8', 'Out-of-service reason',
  'Grund für außer Betrieb', 'Why the device is out of service.', 'Warum das Gerät außer Betrieb ist.',
  dynamic=True, default='0', enum=[(0, 'MODE_OOS_SETUP'), (1, 'MODE_OOS_LOWPOWER'), (2, 'MODE_OOS_FAILSAFE'),
                                   (4, 'MODE_OOS_FATAL'), (128, 'MODE_OOS_MARGINALPOWER')], code=249)
p(360852134, 'cModeToSet', 'mode_to_set', 'unsigned8', 'Mode to set', 'Neue Betriebsart',
  'Operating mode that Apply sends to the device.', 'Betriebsart, die Übernehmen an das Gerät sendet.',
  writable=True, default='3', enum=[(0, 'MODE_OOS_SETUP'), (1, 'MODE_MANUAL'), (3, 'MODE_NORMAL')], code=135)
p(743187560, 'nOptionFlags', 'installed_options', 'unsigned8', 'Installed options', 'Installierte Optionen',
  'Bits of the installed options: 1 actuator pressure 1, 2 actuator pressure 2, 4 supply pressure, '
  '8 switches, 16 position retransmitter.',
  'Bits der installierten Optionen: 1 Antriebsdruck 1, 2 Antriebsdruck 2, 4 Zuluftdruck, '
  '8 Schalter, 16 Stellungsrückmelder.', dynamic=True, default='31', lo=0, hi=31, code=200)
p(2108846086, 'bOptionConfigFlags0_Dash', 'device_variant', 'unsigned8', 'Device variant', 'Gerätevariante',
  'Variant of the device as built.', 'Ausführung des Geräts.', dynamic=True, default='4',
  enum=[(0, 'VariantBasic'), (1, 'VariantBasicSwitches'), (2, 'VariantAdvanced'),
        (3, 'VariantAdvancedRetransmit'), (4, 'VariantPro'), (5, 'VariantProRetransmit'),
        (6, 'VariantProPilot')], code=200)
p(1437334234, 'bOptionConfigFlags1_Acting', 'actuator_type', 'unsigned8', 'Actuator type', 'Antriebsart',
  'Actuator type the device is built for.', 'Antriebsart, für die das Gerät gebaut ist.',
  dynamic=True, default='0', enum=[(0, 'SingleActing'), (1, 'DoubleActing')], code=200)
p(517267660, 'bOptionConfigFlags1_Sensor', 'position_sensor', 'unsigned8', 'Position sensor',
  'Stellungssensor', 'Kind of position sensor.', 'Art des Stellungssensors.',
  dynamic=True, default='0', enum=[(0, 'SensorInternal'), (1, 'SensorRemote')], code=200)
p(1751090547, 'nStatusSummary', 'status_summary', 'unsigned8', 'Status summary', 'Statusübersicht',
  'Not 0 when the device holds further status information.',
  'Ungleich 0, wenn das Gerät weitere Statusinformationen hat.',
  dynamic=True, default='0', enum=[(0, 'StatusNone'), (1, 'moreStatusAvailable')], code=200)

# ---------------------------------------------------------------------------
block('hart', 'Configuration')
for pid, label, name, en, de, hen, hde, default, enum in [
        (1340640597, 'bConfigFlags0_Air', 'air_action', 'Air action', 'Luftwirkung',
         'Whether air pressure opens or closes the valve.', 'Ob der Luftdruck das Ventil öffnet oder schließt.',
         '1', [(0, 'AirToClose'), (1, 'AirToOpen')]),
        (1581337199, 'bConfigFlags1_TightShutoff', 'tight_shutoff_enable', 'Tight shutoff', 'Dichtschließen',
         'Closes the valve fully when the setpoint falls below the tight shutoff value.',
         'Schließt das Ventil ganz, wenn der Sollwert unter den Dichtschließwert fällt.', '1', OFF_ON),
        (1677517120, 'bConfigFlags1_Characterization', 'characteristic', 'Characteristic', 'Kennlinie',
         'Characteristic between setpoint and valve position.', 'Kennlinie zwischen Sollwert und Ventilstellung.',
         '0', [(0, 'CharLinear'), (1, 'CharEqualPercent30'), (2, 'CharEqualPercent50'),
               (3, 'CharQuickOpen'), (4, 'CharCustom')]),
        (261012777, 'bConfigFlags1_LowerLimit', 'lower_limit_enable', 'Lower limit', 'Untere Grenze',
         'Keeps the position at or above the lower limit.', 'Hält die Stellung auf oder über der unteren Grenze.',
         '0', OFF_ON),
        (1950661746, 'bConfigFlags1_UpperLimit', 'upper_limit_enable', 'Upper limit', 'Obere Grenze',
         'Keeps the position at or below the upper limit.', 'Hält die Stellung auf oder unter der oberen Grenze.',
         '0', OFF_ON),
        (840707063, 'bConfigFlags1_ProtectLimits', 'protect_limits', 'Protect limits', 'Grenzen schützen',
         'Keeps the position limits active in every mode.', 'Hält die Stellungsgrenzen in jeder Betriebsart aktiv.',
         '0', OFF_ON),
        (1259066829, 'bConfigFlags0_Bumpless', 'bumpless_transfer', 'Bumpless transfer', 'Stoßfreie Umschaltung',
         'Moves the valve slowly to the new setpoint after a mode change.',
         'Fährt das Ventil nach einem Betriebsartwechsel langsam auf den neuen Sollwert.', '0', OFF_ON),
        (1542625315, 'bConfigFlags2_Lock', 'local_lock', 'Local lock', 'Vor-Ort-Sperre',
         'Locks the local push buttons of the device.', 'Sperrt die Tasten am Gerät.',
         '0', [(0, 'Unlocked'), (1, 'LockedSetup'), (2, 'LockedAll')]),
        (ID_PRESSURE_UNIT, 'cPresUnits', 'pressure_unit', 'Pressure unit', 'Druckeinheit',
         'Unit of all pressures of the device.', 'Einheit aller Drücke des Geräts.',
         '6', [(6, 'psi'), (7, 'bar'), (12, 'kPa')]),
        (1718309488, 'cLanguage', 'display_language', 'Display language', 'Anzeigesprache',
         'Language of the local display.', 'Sprache der Vor-Ort-Anzeige.',
         '0', [(0, 'LangEnglish'), (1, 'LangGerman'), (2, 'LangFrench'), (3, 'LangSpanish'),
               (4, 'LangItalian')]),
        (297655519, 'cPosErrorEnable', 'position_error_alarm', 'Position error alarm', 'Regelabweichungsalarm',
         'Reports a fault when the position deviates from the setpoint for too long.',
         'Meldet einen Fehler, wenn die Stellung zu lange vom Sollwert abweicht.',
         '0', [(0, 'Disabled'), (1, 'Enabled')]),
        (879519424, 'cSignalLossAction', 'signal_loss_action', 'Action on signal loss', 'Verhalten bei Signalausfall',
         'What the valve does when the input signal is lost.', 'Was das Ventil bei Ausfall des Eingangssignals tut.',
         '0', [(0, 'FailsafeClose'), (1, 'FailsafeHold')])]:
    q = p(pid, label, name, 'unsigned8', en, de, hen, hde, writable=True, default=default, enum=enum, code=210)
    if pid == ID_PRESSURE_UNIT:
        q.range_text = '{6,psi}{7,bar}{12,kPa}'
p(212097963, 'bConfigFlags3', 'option_flags', 'bitmap', 'Option flags', 'Optionsbits',
  'Reserved option bits; the factory setting is all bits clear.',
  'Reservierte Optionsbits; ab Werk sind alle Bits gelöscht.',
  size=1, writable=True, default='00000000', code=210)

block('hart', 'Limits')
for pid, label, name, en, de, hen, hde, typ, unit, default, lo, hi in [
        (1750769078, 'fTightShutoff', 'tight_shutoff', 'Tight shutoff value', 'Dichtschließwert',
         'Setpoint below which the valve closes fully.', 'Sollwert, unter dem das Ventil ganz schließt.',
         'float', '%', '0.5', 0, 20),
        (322892486, 'fLowerLimit', 'lower_limit', 'Lower limit value', 'Unterer Grenzwert',
         'Lowest position the valve is driven to.', 'Kleinste Stellung, in die das Ventil fährt.',
         'float', '%', '0', 0, 100),
        (972721312, 'fUpperLimit', 'upper_limit', 'Upper limit value', 'Oberer Grenzwert',
         'Highest position the valve is driven to.', 'Größte Stellung, in die das Ventil fährt.',
         'float', '%', '100', 0, 100),
        (1058904971, 'nBumplessRate', 'bumpless_rate', 'Bumpless rate', 'Rate der stoßfreien Umschaltung',
         'Travel per second of a bumpless transfer, in percent; 0 moves at once.',
         'Weg pro Sekunde bei stoßfreier Umschaltung in Prozent; 0 fährt sofort.',
         'unsigned16', None, '0', 0, 100),
        (2012553137, 'fErrorDeadband', 'position_error_deadband', 'Position error deadband',
         'Totband der Regelabweichung', 'Deviation that is not yet counted as a position error.',
         'Abweichung, die noch nicht als Regelabweichung zählt.', 'float', '%', '0.5', 0, 10),
        (1587511539, 'nPosErrorTime', 'position_error_time', 'Position error time', 'Zeit bis Regelabweichungsalarm',
         'Time the deviation must last before the alarm; 0 reports at once.',
         'Dauer der Abweichung bis zum Alarm; 0 meldet sofort.', 'unsigned16', 's', '0', 0, 255),
        (1627375400, 'fPosErrorBand', 'position_error_band', 'Position error band', 'Regelabweichungsband',
         'Deviation between setpoint and position that raises the position error alarm.',
         'Abweichung zwischen Sollwert und Stellung, die den Regelabweichungsalarm auslöst.',
         'float', '%', '2', 0.5, 50),
        (1093331316, 'nDisplayContrast', 'display_contrast', 'Display contrast', 'Anzeigekontrast',
         'Contrast of the local display.', 'Kontrast der Vor-Ort-Anzeige.', 'unsigned8', None, '21', 0, 31)]:
    p(pid, label, name, typ, en, de, hen, hde, writable=True, unit=unit, default=default, lo=lo, hi=hi, code=212)
p(1483807622, 'bAlarmMask', 'alarm_mask', 'bitmap', 'Alarm mask', 'Alarmmaske',
  'Faults that are not reported as alarms; the factory setting reports all.',
  'Fehler, die nicht als Alarm gemeldet werden; ab Werk werden alle gemeldet.',
  size=2, writable=True, default='0000000000000000', code=212)

block('hart', 'Switches')
SWITCH_TYPES = [(0, 'SwitchDisabled'), (1, 'SwitchLowerPosition'), (2, 'SwitchUpperPosition'),
                (3, 'SwitchFault'), (4, 'SwitchNotNormal')]
SWITCH_DIRS = [(0, 'NormallyOpen'), (1, 'NormallyClosed')]
for n, (t, d, f, fdef) in enumerate([(1423359529, 743971991, 1048484497, '5'),
                                      (24606632, 1753117242, 257538580, '95')], start=1):
    p(t, 'cSwitch%dType' % n, 'switch%d_function' % n, 'unsigned8', 'Switch %d function' % n,
      'Funktion Schalter %d' % n, 'Event that switches contact %d.' % n, 'Ereignis, das Kontakt %d schaltet.' % n,
      writable=True, default='0', enum=SWITCH_TYPES, code=211)
    p(d, 'cSwitch%dDir' % n, 'switch%d_contact' % n, 'unsigned8', 'Switch %d contact' % n,
      'Kontakt Schalter %d' % n, 'Contact state of switch %d while it is not active.' % n,
      'Kontaktzustand von Schalter %d im Ruhezustand.' % n, writable=True, default='0', enum=SWITCH_DIRS, code=211)
    p(f, 'fSwitch%dTrip' % n, 'switch%d_trip_point' % n, 'float', 'Switch %d trip point' % n,
      'Schaltpunkt Schalter %d' % n, 'Position at which a position switch %d changes over.' % n,
      'Stellung, bei der Positionsschalter %d umschaltet.' % n, writable=True, unit='%', default=fdef,
      lo=0, hi=100, code=211)

# ---------------------------------------------------------------------------
block('hart', 'Positioning')
p(539950661, 'fSignalLow', 'signal_low', 'float', 'Signal at 0 %', 'Signal bei 0 %',
  'Input current that means a setpoint of 0 percent (split range).',
  'Eingangsstrom, der einem Sollwert von 0 Prozent entspricht (Split-Range).',
  writable=True, unit='mA', default='4', lo=3.8, hi=16, code=213)
p(1000059263, 'fSignalHigh', 'signal_high', 'float', 'Signal at 100 %', 'Signal bei 100 %',
  'Input current that means a setpoint of 100 percent (split range).',
  'Eingangsstrom, der einem Sollwert von 100 Prozent entspricht (Split-Range).',
  writable=True, unit='mA', default='20', lo=8, hi=20.5, code=213)
p(1389020516, 'fStroke', 'stroke', 'float', 'Stroke', 'Hub',
  'Travel used of the range between the valve stops.', 'Genutzter Weg zwischen den Ventilanschlägen.',
  writable=True, unit='%', default='100', lo=20, hi=100, code=169)
CHAR_X = [1570121222, 1642690049, 75928973, 166289277, 324028029, 1090349340, 491837807, 680500556,
          1816895289, 299973559]
CHAR_Y = [311946000, 1281159135, 1820867403, 1601695445, 995245775, 1476157951, 521555290, 357865394,
          673790068, 590986998]
CHAR_DEFAULT = [28, 57, 85, 114, 142, 171, 199, 228, 255, 255]
char = p(ID_CHARACTERISTIC, 'CustomCharacteristic', 'custom_characteristic', 'complex',
         'Custom characteristic', 'Freie Kennlinie',
         'Points of the custom characteristic; 256 on either axis means 100 percent.',
         'Punkte der freien Kennlinie; 256 bedeutet auf beiden Achsen 100 Prozent.', writable=True, code=137)
for i, (xid, yid) in enumerate(zip(CHAR_X, CHAR_Y), start=1):
    end = i == 10
    for pid, axis in ((xid, 'X'), (yid, 'Y')):
        char.components.append(Param(
            pid, 'Char%s%d' % (axis, i), 'characteristic_%s%d' % (axis.lower(), i), 'unsigned8',
            ('Characteristic end %s' % axis) if end else ('Characteristic point %d %s' % (i, axis)),
            ('Kennlinienende %s' % axis) if end else ('Kennlinienpunkt %d %s' % (i, axis)),
            'End marker of the custom characteristic, always 255.' if end else
            '%s value of point %d of the custom characteristic (256 means 100 percent).' % (axis, i),
            'Endmarke der freien Kennlinie, immer 255.' if end else
            '%s-Wert von Punkt %d der freien Kennlinie (256 bedeutet 100 Prozent).' % (axis, i),
            writable=True, default=str(CHAR_DEFAULT[i - 1]), lo=0, hi=255))

block('hart', 'Tuning')
for pid, label, name, en, de, hen, hde, typ, unit, default, lo, hi in [
        (1054464796, 'nPGain', 'proportional_gain', 'Proportional gain', 'Proportionalverstärkung',
         'Gain of the position controller.', 'Verstärkung des Stellungsreglers.', 'unsigned16', None, '100', 0, 1000),
        (1995720731, 'nIntegralTime', 'integral_time', 'Integral time', 'Nachstellzeit',
         'Integral action of the position controller, in tenths of a second.',
         'Integralanteil des Stellungsreglers in Zehntelsekunden.', 'unsigned16', None, '160', 0, 1000),
        (1958052756, 'nDerivativeTime', 'derivative_time', 'Derivative time', 'Vorhaltzeit',
         'Derivative action of the position controller, in milliseconds.',
         'Differentialanteil des Stellungsreglers in Millisekunden.', 'unsigned16', None, '20', 0, 1000),
        (31476398, 'nBeta', 'beta', 'Beta', 'Beta',
         'Gain scheduling of the controller near the setpoint.',
         'Verstärkungsanpassung des Reglers in der Nähe des Sollwerts.', 'unsigned16', None, '30', 0, 100),
        (97070578, 'nPadj', 'p_adjustment', 'P adjustment', 'P-Anpassung',
         'Correction of the gain for the direction of travel.', 'Korrektur der Verstärkung je nach Fahrtrichtung.',
         'signed8', None, '-2', -20, 20),
        (2062011447, 'nStrokeTimeCode', 'stroke_time_code', 'Stroke time (coded)', 'Stellzeit (codiert)',
         'Stroke time limit with its direction: negative values limit one direction only.',
         'Stellzeitbegrenzung mit Richtung: negative Werte begrenzen nur eine Richtung.',
         'signed16', None, '0', -1999, 999),
        (591879724, 'nPosComp', 'position_compensation', 'Position compensation', 'Stellungskompensation',
         'Compensation of the actuator non-linearity.', 'Ausgleich der Nichtlinearität des Antriebs.',
         'unsigned8', None, '13', 0, 100),
        (1389550902, 'fDeadZone', 'dead_zone', 'Dead zone', 'Totzone',
         'Deviation within which the controller does not act.', 'Abweichung, innerhalb der der Regler nicht eingreift.',
         'float', '%', '0', 0, 10),
        (1770670352, 'nNonLinear', 'non_linear_gain', 'Non-linear gain', 'Nichtlineare Verstärkung',
         'Extra gain for large deviations.', 'Zusätzliche Verstärkung bei großen Abweichungen.',
         'unsigned8', None, '4', 0, 20)]:
    p(pid, label, name, typ, en, de, hen, hde, writable=True, unit=unit, default=default, lo=lo, hi=hi, code=216)
for pid, label, name, en, de in [
        (538227773, 'nATFillTime', 'autotune_fill_time', 'Autotune fill time', 'Autotune-Füllzeit'),
        (596505115, 'nATExhaustTime', 'autotune_exhaust_time', 'Autotune exhaust time', 'Autotune-Entlüftungszeit'),
        (1674210272, 'nATDeadTime', 'autotune_dead_time', 'Autotune dead time', 'Autotune-Totzeit'),
        (441737182, 'nATOvershoot', 'autotune_overshoot', 'Autotune overshoot', 'Autotune-Überschwingen')]:
    p(pid, label, name, 'unsigned16', en, de, 'Result of the last autotune: %s.' % en[9:],
      'Ergebnis des letzten Autotune: %s.' % de[9:], dynamic=True, default='0', lo=0, hi=65535, code=216)
p(896913603, 'fAutotuneSupply', 'autotune_supply_pressure', 'float', 'Autotune supply pressure',
  'Zuluftdruck für Autotune', 'Supply pressure that the autotune assumes.',
  'Zuluftdruck, von dem der Autotune ausgeht.', writable=True, unit=PRESSURE, default='30',
  lo=('ptr', 62654756), hi=('ptr', 1647644264), code=189)
p(1822474542, 'nAutotuneAggressiveness', 'autotune_aggressiveness', 'signed8', 'Autotune aggressiveness',
  'Autotune-Aggressivität', 'From -9 (soft) to 9 (fast); 0 is the standard tuning.',
  'Von -9 (weich) bis 9 (schnell); 0 ist die Standardoptimierung.', writable=True, default='0',
  lo=-9, hi=9, code=189)

block('hart', 'Calibration')
p(707049616, 'cCalMode', 'calibration_kind', 'unsigned8', 'Calibration kind', 'Kalibrierart',
  'What the calibration command calibrates.', 'Was das Kalibrierkommando kalibriert.',
  writable=True, default='0', enum=[(0, 'CalSignal'), (1, 'CalPressure')], code=185)
p(711731265, 'cCalPoint', 'calibration_point', 'unsigned8', 'Calibration point', 'Kalibrierpunkt',
  'Which point of the signal is calibrated.', 'Welcher Punkt des Signals kalibriert wird.',
  writable=True, default='0', enum=[(0, 'CalLow'), (1, 'CalHigh')], code=185)
p(525996180, 'fCalValue', 'calibration_value', 'float', 'Calibration value', 'Kalibrierwert',
  'Value applied at the calibrated point; 0 for the pressure zero.',
  'Am kalibrierten Punkt anliegender Wert; 0 für den Drucknullpunkt.',
  writable=True, default='0', lo=0, hi=25, code=185)
p(46460907, 'fAnalogOutput', 'analog_output', 'float', 'Analog output', 'Analogausgang',
  'Fixed current of the position retransmitter; 0 returns to normal operation.',
  'Fester Strom des Stellungsrückmelders; 0 kehrt zum Normalbetrieb zurück.',
  writable=True, unit='mA', default='0', range_text='[0 to 0][3.8 to 21]', code=40)
p(ID_RANGE_UNIT, 'range_unit', 'range_unit', 'unsigned8', 'Range unit', 'Bereichseinheit',
  'Unit code of the retransmitter range values.', 'Einheitencode der Bereichswerte des Rückmelders.',
  default='57', enum=[(57, '%')], code=207)
p(365794669, 'fURV', 'upper_range_value', 'float', 'Upper range value', 'Oberer Bereichswert',
  'Position at which the retransmitter sends 20 mA.', 'Stellung, bei der der Rückmelder 20 mA ausgibt.',
  writable=True, unit='%', default='100', lo=0, hi=100, code=207)
p(1904220959, 'fLRV', 'lower_range_value', 'float', 'Lower range value', 'Unterer Bereichswert',
  'Position at which the retransmitter sends 4 mA.', 'Stellung, bei der der Rückmelder 4 mA ausgibt.',
  writable=True, unit='%', default='0', lo=0, hi=100, code=207)

# ---------------------------------------------------------------------------
block('hart', 'Diagnostics')
p(1417747975, 'cProcedureStatus', 'procedure_status', 'unsigned8', 'Procedure status', 'Prozedurstatus',
  'Not 0 while a procedure of the device is running.', 'Ungleich 0, solange eine Prozedur des Geräts läuft.',
  dynamic=True, default='0', enum=[(0, 'ProcIdle'), (1, 'ProcRunning')], code=251)
p(986329577, 'nAutotuneError', 'autotune_error', 'unsigned8', 'Autotune error code', 'Autotune-Fehlercode',
  'Error code of the last failed autotune.', 'Fehlercode des letzten fehlgeschlagenen Autotune.',
  dynamic=True, default='0', lo=0, hi=255, code=136)
for pid, label, name, en, de, hen, hde, typ, unit, default, lo, hi in [
        (91960530, 'nDiagRampTime', 'diagnostics_ramp_time', 'Ramp time', 'Rampenzeit',
         'Duration of one diagnostics ramp.', 'Dauer einer Diagnoserampe.', 'unsigned16', 's', '10', 1, 600),
        (355593108, 'cDiagTestType', 'diagnostics_test', 'Diagnostics test', 'Diagnosetest',
         'Kind of diagnostics test.', 'Art des Diagnosetests.', 'unsigned8', None, '0', None, None),
        (1471241131, 'fDiagStepSize', 'diagnostics_step', 'Step size', 'Schrittweite',
         'Step of the setpoint during the test.', 'Schritt des Sollwerts während des Tests.',
         'float', '%', '1', 0.1, 100),
        (975363836, 'fDiagStartPos', 'diagnostics_start', 'Start position', 'Startstellung',
         'Position at which the test starts.', 'Stellung, bei der der Test beginnt.', 'float', '%', '0', 0, 100),
        (1650953595, 'fDiagEndPos', 'diagnostics_end', 'End position', 'Endstellung',
         'Position at which the test ends.', 'Stellung, bei der der Test endet.', 'float', '%', '100', 0, 100),
        (1316907256, 'nDiagCycles', 'diagnostics_cycles', 'Test cycles', 'Testzyklen',
         'Number of test cycles.', 'Anzahl der Testzyklen.', 'unsigned8', None, '1', 1, 10),
        (2054511026, 'nDiagRampSpeed', 'diagnostics_speed', 'Ramp speed', 'Rampengeschwindigkeit',
         'Speed of the signature ramp in percent per minute.',
         'Geschwindigkeit der Signaturrampe in Prozent pro Minute.', 'unsigned16', None, '10', 1, 100)]:
    q = p(pid, label, name, typ, en, de, hen, hde, writable=True, unit=unit, default=default,
          lo=lo, hi=hi, code=190)
    if pid == 355593108:
        q.enum = [(0, 'DiagRamp'), (1, 'DiagStep')]
p(1734770901, 'cSignatureStore', 'signature_store', 'unsigned8', 'Store signature as', 'Signatur speichern als',
  'Which stored signature the save command overwrites.', 'Welche gespeicherte Signatur das Speicherkommando überschreibt.',
  writable=True, default='1', enum=[(1, 'savedSignature'), (2, 'baselineSignature')], code=184)
p(625914617, 'cSignatureSelect', 'signature_select', 'unsigned8', 'Signature shown', 'Angezeigte Signatur',
  'Which signature the read commands return.', 'Welche Signatur die Lesekommandos liefern.',
  writable=True, default='0', enum=[(0, 'currentSignature'), (1, 'savedSignature'), (2, 'baselineSignature')],
  code=191)
SIG_OPEN = [1257955650, 2006705916, 1538038866, 1877250209, 329031993, 1902680132, 2071691722, 868821061,
            2006912251]
SIG_CLOSE = [23596714, 863836998, 2120075375, 956237430, 1831923196, 216016939, 941128682, 510599933,
             1090383352]
for curve_id, ids, label, code, en, de in [
        (ID_SIG_CURVE_OPEN, SIG_OPEN, 'SigOpen', 191, 'opening', 'öffnend'),
        (ID_SIG_CURVE_CLOSE, SIG_CLOSE, 'SigClose', 192, 'closing', 'schließend')]:
    curve = p(curve_id, label + 'Curve', 'signature_%s' % en, 'unsigned8',
              'Signature curve %s' % en, 'Signaturkurve %s' % de,
              'Actuator pressure over travel while %s, nine samples.' % en,
              'Antriebsdruck über dem Weg, %s, neun Werte.' % de, dynamic=True, array=True, code=code)
    for k, pid in enumerate(ids):
        curve.components.append(Param(
            pid, '%s%d' % (label, k + 1), 'signature_%s_%d' % (en, k + 1), 'unsigned8',
            'Signature %s at %d %%' % (en, round(12.5 * k)), 'Signatur %s bei %d %%' % (de, round(12.5 * k)),
            'Sample %d of the %s curve, 0 to 255 between the lower and upper bound.' % (k + 1, en),
            'Wert %d der Kurve %s, 0 bis 255 zwischen unterer und oberer Grenze.' % (k + 1, de),
            dynamic=True, default='0', lo=0, hi=255))
p(988157535, 'nSigLowerBound', 'signature_lower_bound', 'unsigned16', 'Signature lower bound',
  'Untere Signaturgrenze', 'Pressure of sample value 0, in units of 0.004 psi.',
  'Druck des Werts 0 in Einheiten von 0,004 psi.', dynamic=True, default='0', lo=0, hi=65535, code=191)
p(870778017, 'nSigUpperBound', 'signature_upper_bound', 'unsigned16', 'Signature upper bound',
  'Obere Signaturgrenze', 'Pressure of sample value 255, in units of 0.004 psi.',
  'Druck des Werts 255 in Einheiten von 0,004 psi.', dynamic=True, default='25000', lo=0, hi=65535, code=191)
for pid, label, name, en, de, hen, hde, unit, code in [
        (264790405, 'fFriction', 'friction', 'Friction', 'Reibung',
         'Friction of the valve found by the diagnostics.', 'Von der Diagnose ermittelte Reibung des Ventils.',
         'psi', 191),
        (1571471286, 'fLSpringRange', 'spring_range_lower', 'Spring range lower', 'Federbereich unten',
         'Pressure at which the valve starts to move.', 'Druck, bei dem sich das Ventil zu bewegen beginnt.',
         'psi', 191),
        (1045874997, 'fUSpringRange', 'spring_range_upper', 'Spring range upper', 'Federbereich oben',
         'Pressure at which the valve reaches its end position.', 'Druck, bei dem das Ventil seine Endlage erreicht.',
         'psi', 191),
        (1277811141, 'fActSupplyPress', 'actuator_supply', 'Actuator supply pressure', 'Antriebszuluftdruck',
         'Supply pressure measured during the diagnostics.', 'Während der Diagnose gemessener Zuluftdruck.',
         'psi', 192),
        (1270038270, 'nResponseOpen', 'response_open', 'Response time opening', 'Ansprechzeit öffnend',
         'Time the valve needs to follow a step while opening.', 'Zeit, die das Ventil öffnend für einen Sprung braucht.',
         's', 192),
        (1271456638, 'nResponseClose', 'response_close', 'Response time closing', 'Ansprechzeit schließend',
         'Time the valve needs to follow a step while closing.',
         'Zeit, die das Ventil schließend für einen Sprung braucht.', 's', 192)]:
    p(pid, label, name, 'float', en, de, hen, hde, dynamic=True, unit=unit, default='0', lo=0,
      hi=150 if unit == 'psi' else 100, code=code)

# ---------------------------------------------------------------------------
FAULTS = [  # (current id, historic id, key, English, German)
    (553893624, 500989572, 'DeviceReset', 'Device reset', 'Geräterücksetzung'),
    (213180132, 1716447163, 'LowPower', 'Low loop power', 'Schleifenleistung zu niedrig'),
    (1250407970, 466862545, 'ActuatorBlocked', 'Actuator does not follow', 'Antrieb folgt nicht'),
    (1895403774, 894856902, 'AirSupplyLow', 'Air supply low', 'Zuluftdruck zu niedrig'),
    (1804334295, 2036744272, 'PositionDeviation', 'Position deviation', 'Regelabweichung'),
    (1939486312, 802288046, 'IPDriveLimit', 'I/P drive at limit', 'I/P-Ansteuerung am Anschlag'),
    (1450765515, 1966012753, 'TemperatureLimit', 'Temperature out of limits', 'Temperatur außerhalb der Grenzen'),
    (1754485281, 2046399120, 'PositionSensorRange', 'Position sensor out of range',
     'Stellungssensor außerhalb des Bereichs'),
    (1227214172, 1165076308, 'PressureSensor', 'Pressure sensor failure', 'Drucksensor defekt'),
    (380976253, 1803127672, 'FindStopsFailed', 'Find stops failed', 'Anschlagsuche fehlgeschlagen'),
    (1974096750, 1267560079, 'AutotuneFailed', 'Autotune failed', 'Autotune fehlgeschlagen'),
    (364446638, 1396608460, 'DiagnosticsFailed', 'Diagnostics failed', 'Diagnose fehlgeschlagen'),
    (1921805462, 1329698588, 'CalibrationFailed', 'Calibration failed', 'Kalibrierung fehlgeschlagen'),
    (699570499, 210433843, 'SignalOutOfRange', 'Input signal out of range', 'Eingangssignal außerhalb des Bereichs'),
    (1260703104, 508140744, 'TightShutoffActive', 'Tight shutoff active', 'Dichtschließen aktiv'),
    (378298759, 1135361420, 'LowerLimitActive', 'Lower position limit active', 'Untere Stellungsgrenze aktiv'),
    (335292201, 2128481130, 'UpperLimitActive', 'Upper position limit active', 'Obere Stellungsgrenze aktiv'),
    (1739602126, 1617428884, 'ConfigChanged', 'Configuration changed', 'Konfiguration geändert'),
    (2045534322, 363261748, 'NvmChecksum', 'Non-volatile memory checksum error',
     'Prüfsummenfehler im nichtflüchtigen Speicher'),
    (148921455, 856471875, 'RamError', 'RAM error', 'RAM-Fehler'),
    (1776238235, 1186625074, 'FirmwareChecksum', 'Firmware checksum error', 'Prüfsummenfehler der Firmware'),
    (1849930042, 876045453, 'WatchdogReset', 'Watchdog reset', 'Watchdog-Rücksetzung'),
    (318871295, 2000251496, 'InternalError', 'Internal error', 'Interner Fehler'),
    (1301302239, 719618746, 'ReferenceVoltage', 'Reference voltage error', 'Fehler der Referenzspannung'),
    (680149762, 1481456839, 'AdcError', 'A/D converter error', 'Fehler des A/D-Wandlers'),
    (6375759, 1581022154, 'PilotRelay', 'Pilot relay failure', 'Vorsteuerrelais defekt'),
    (1508552831, 289828771, 'SupplyPressureHigh', 'Supply pressure high', 'Zuluftdruck zu hoch'),
    (941329495, 1051227223, 'Pressure1Range', 'Actuator pressure 1 out of range',
     'Antriebsdruck 1 außerhalb des Bereichs'),
    (1964781345, 1898650358, 'Pressure2Range', 'Actuator pressure 2 out of range',
     'Antriebsdruck 2 außerhalb des Bereichs'),
    (2067128091, 36197146, 'Switch1Failure', 'Switch 1 failure', 'Schalter 1 defekt'),
    (1696855133, 1705741266, 'Switch2Failure', 'Switch 2 failure', 'Schalter 2 defekt'),
    (1282351317, 2087091160, 'RetransmitFailure', 'Position retransmitter failure', 'Stellungsrückmelder defekt'),
    (1919113621, 613085843, 'TravelAlarm', 'Total travel limit exceeded', 'Grenzwert des Gesamtwegs überschritten'),
    (1697802744, 752479994, 'CycleAlarm', 'Cycle count limit exceeded', 'Grenzwert der Zyklenzahl überschritten'),
    (1454491564, 371824804, 'FrictionHigh', 'Friction high', 'Reibung zu hoch'),
    (107026362, 1135570833, 'ResponseSlow', 'Valve responds slowly', 'Ventil reagiert langsam'),
    (2074375166, 2051649162, 'MarginalPower', 'Marginal power', 'Grenzwertige Versorgung'),
    (529640351, 9204826, 'FailsafeActive', 'Failsafe active', 'Sicherheitsstellung aktiv'),
    (1866092036, 1286336546, 'StopsDrifted', 'Valve stops drifted', 'Ventilanschläge verschoben'),
]
block('hart', 'Faults')
for cur, _, key, en, de in FAULTS:
    p(cur, 'fault_' + key, 'fault_' + key.lower(), 'unsigned8', en, de,
      'Current fault: %s. 1 while the fault is present.' % en,
      'Aktueller Fehler: %s. 1, solange der Fehler besteht.' % de,
      dynamic=True, default='0', range_text='[0=FaultInactive][1=FaultActive]', code=136)
for _, hist, key, en, de in FAULTS:
    p(hist, 'hist_' + key, 'history_' + key.lower(), 'unsigned8', en + ' (recorded)', de + ' (gespeichert)',
      'Historic fault: %s. 1 once the fault has occurred since it was last cleared.' % en,
      'Gespeicherter Fehler: %s. 1, wenn der Fehler seit dem letzten Löschen aufgetreten ist.' % de,
      dynamic=True, default='0', range_text='[0=FaultNotRecorded][1=FaultRecorded]', code=136)
p(1196389098, 'cClearFaultsSelect', 'clear_faults_select', 'unsigned8', 'Faults to clear', 'Zu löschende Fehler',
  'Which fault list the clear command empties.', 'Welche Fehlerliste das Löschkommando leert.',
  writable=True, default='0', enum=[(0, 'CurrentFaults'), (1, 'HistoricFaults')], code=138)

block('hart', 'Historian')
for pid, label, name, en, de, hen, hde, unit in [
        (2145316696, 'nHistTimeClosed', 'history_time_closed', 'Time closed (device)', 'Zeit geschlossen (Gerät)',
         'Seconds the valve spent closed, as counted by the device.',
         'Sekunden, die das Ventil geschlossen war, vom Gerät gezählt.', 's'),
        (246925225, 'nHistTimeOpen', 'history_time_open', 'Time open (device)', 'Zeit geöffnet (Gerät)',
         'Seconds the valve spent open, as counted by the device.',
         'Sekunden, die das Ventil geöffnet war, vom Gerät gezählt.', 's'),
        (1313870629, 'nHistTimeNear', 'history_time_near', 'Time near closed (device)',
         'Zeit nahe geschlossen (Gerät)', 'Seconds the valve spent near the closed position, as counted by the device.',
         'Sekunden nahe der geschlossenen Stellung, vom Gerät gezählt.', 's'),
        (1704165009, 'nCycles', 'cycles', 'Cycles', 'Zyklen',
         'Number of direction changes of the valve.', 'Anzahl der Richtungswechsel des Ventils.', None),
        (1857816441, 'nTotalTravel', 'total_travel', 'Total travel', 'Gesamtweg',
         'Accumulated travel in full strokes.', 'Summierter Weg in vollen Hüben.', None)]:
    p(pid, label, name, 'unsigned32', en, de, hen, hde, dynamic=True, unit=unit, default='0',
      lo=0, hi=4294967295, code=139)

# ---------------------------------------------------------------------------
# Parameters that never travel: kept and computed by the DTM and the engine.
block('internal', 'Units')
for text, (pid, code) in UNIT_PARAMS.items():
    key = {'%': 'UnitPercent', 'mA': 'UnitMilliampere', 'degC': 'UnitDegreeCelsius', 's': 'UnitSecond',
           'psi': 'UnitPsi'}[text]
    en = {'%': 'percent', 'mA': 'milliampere', 'degC': 'degree Celsius', 's': 'second', 'psi': 'psi'}[text]
    de = {'%': 'Prozent', 'mA': 'Milliampere', 'degC': 'Grad Celsius', 's': 'Sekunde', 'psi': 'psi'}[text]
    p(pid, key, 'unit_' + key[4:].lower(), 'unsigned8', 'Unit %s' % en, 'Einheit %s' % de,
      'HART unit code %d (%s) of the parameters that use it.' % (code, en),
      'HART-Einheitencode %d (%s) der Parameter, die ihn verwenden.' % (code, de),
      default=str(code), range_text='{%d,%s}' % (code, text))

block('internal', 'Limits')
for pid, label, en, de, default in [
        (1525348713, 'fPressureMax', 'Pressure gauge maximum', 'Maximum der Druckanzeige', '150'),
        (62654756, 'fAutotuneSupplyMin', 'Autotune supply minimum', 'Minimum des Autotune-Zuluftdrucks', '20'),
        (1647644264, 'fAutotuneSupplyMax', 'Autotune supply maximum', 'Maximum des Autotune-Zuluftdrucks', '120')]:
    p(pid, label, label, 'float', en, de,
      '%s in the configured pressure unit, set by the DTM when the unit changes.' % en,
      '%s in der eingestellten Druckeinheit, vom DTM beim Wechsel der Einheit gesetzt.' % de,
      unit=PRESSURE, default=default)
p(1975135428, 'nTimeGaugeMax', 'time_gauge_max', 'unsigned32', 'Time scale maximum', 'Maximum der Zeitskala',
  'Upper end of the historian time gauges, at least ten hours.',
  'Oberes Ende der Zeitanzeigen der Historie, mindestens zehn Stunden.', unit='s', default='36000')
for pid, label, en, de in [(2136394210, 'nTimeClosed', 'Time closed', 'Zeit geschlossen'),
                           (827399704, 'nTimeNear', 'Time near closed', 'Zeit nahe geschlossen'),
                           (2060930479, 'nTimeOpen', 'Time open', 'Zeit geöffnet')]:
    p(pid, label, label, 'unsigned32', en, de, '%s since the historian was last reset.' % en,
      '%s seit dem letzten Zurücksetzen der Historie.' % de, unit='s', default='0',
      lo=0, hi=('ptr', 1975135428))
p(933734669, 'nCyclesPerHour', 'cycles_per_hour', 'unsigned32', 'Cycles per hour', 'Zyklen pro Stunde',
  'Average number of cycles per operating hour.', 'Mittlere Anzahl Zyklen pro Betriebsstunde.', default='0')
p(1633492738, 'nTravelPerHour', 'travel_per_hour', 'unsigned32', 'Travel per hour', 'Weg pro Stunde',
  'Average travel per operating hour in full strokes.', 'Mittlerer Weg pro Betriebsstunde in vollen Hüben.',
  default='0')
p(305006651, 'cStrokeTimeDir', 'stroke_time_direction', 'unsigned8', 'Stroke time direction',
  'Richtung der Stellzeit', 'Direction in which the stroke time applies.', 'Richtung, in der die Stellzeit gilt.',
  writable=True, default='0', enum=[(0, 'ForBothDir'), (1, 'ForOpenOnly'), (2, 'ForCloseOnly')])
p(1811011549, 'nStrokeTime', 'stroke_time', 'unsigned16', 'Stroke time', 'Stellzeit',
  'Shortest time for a full stroke; 0 moves as fast as possible.',
  'Kürzeste Zeit für einen vollen Hub; 0 fährt so schnell wie möglich.',
  writable=True, unit='s', default='0', lo=0, hi=999)
p(1743828527, 'fCalSignalLow', 'calibration_signal_low', 'float', 'Low calibration signal',
  'Unterer Kalibrierstrom', 'Current applied for the low calibration point.',
  'Für den unteren Kalibrierpunkt angelegter Strom.', writable=True, unit='mA', default='4', lo=3.5, hi=8.5)
p(21169954, 'fCalSignalHigh', 'calibration_signal_high', 'float', 'High calibration signal',
  'Oberer Kalibrierstrom', 'Current applied for the high calibration point.',
  'Für den oberen Kalibrierpunkt angelegter Strom.', writable=True, unit='mA', default='20', lo=16, hi=21)
p(473548512, 'CheckCharacterizationEnable', 'check_characteristic_enable', 'unsigned8',
  'Characteristic check available', 'Kennlinienprüfung verfügbar',
  'Enables the characteristic check while the custom characteristic is selected.',
  'Gibt die Kennlinienprüfung frei, solange die freie Kennlinie gewählt ist.', default='0', lo=0, hi=1)
p(ID_BURST_POINTER, 'BurstVariable', 'burst_variable', 'pointer', 'Burst variable', 'Burst-Variable',
  'Parameter published in burst mode, named by the command that reads it.',
  'Im Burst-Modus gesendeter Parameter, benannt durch das Kommando, das ihn liest.',
  default='3', value_pointer=441397865)

block('internal', None)   # parameters directly under the internal interface
status = p(ID_DEVICE_STATUS, 'device_status', 'device_status', 'bitmap', 'Device status', 'Gerätestatus',
           'Status byte of the last HART reply.', 'Statusbyte der letzten HART-Antwort.', size=1, dynamic=True)
status.components = [Param(pid, label, label.lower(), 'bit_range', en, de,
                           '%s (bit %d of the device status).' % (en, bit),
                           '%s (Bit %d des Gerätestatus).' % (de, bit), bits=(bit, bit), dynamic=True)
                     for pid, bit, label, en, de in DEVICE_STATUS_BITS]
p(ID_RESPONSE_CODE, 'response_code', 'response_code', 'unsigned8', 'Response code', 'Antwortcode',
  'Response code of the last HART reply.', 'Antwortcode der letzten HART-Antwort.', dynamic=True, default='0')
p(ID_IGNORED_CODES, 'ignored_response_codes', 'ignored_response_codes', 'string',
  'Response codes treated as success', 'Als Erfolg gewertete Antwortcodes',
  'Response codes that count as success; 8 is the warning set to nearest possible value.',
  'Antwortcodes, die als Erfolg gelten; 8 ist die Warnung auf nächstmöglichen Wert gesetzt.',
  size=32, writable=True, default='8')


# ---------------------------------------------------------------------------
# HART commands: (number, description, request ids, reply ids)
def echo(*ids):
    return list(ids), list(ids)


FAULT_REPLY = [f[0] for f in FAULTS] + [f[1] for f in FAULTS] + [986329577]
HISTORIAN = [2145316696, 246925225, 1313870629, 1704165009, 1857816441]
TUNING = [1054464796, 1995720731, 1958052756, 31476398, 97070578, 2062011447, 591879724, 1389550902,
          1770670352]
CONFIG_FLAGS = [1340640597, 1581337199, 1677517120, 261012777, 1950661746, 840707063, 1259066829,
                212097963, 1542625315, ID_PRESSURE_UNIT, 1718309488, 297655519, 879519424]
LIMITS = [1750769078, 322892486, 972721312, 1058904971, 2012553137, 1587511539, 1627375400, 1093331316,
          1483807622]
SWITCH_CONFIG = [1423359529, 743971991, 1048484497, 24606632, 1753117242, 257538580]
DIAG_START = [91960530, 355593108, 1471241131, 975363836, 1650953595, 1316907256, 2054511026]

COMMANDS = [
    (0, 'Read unique identifier', [],
     [ID_EXPANSION, 2024606965, 965867385, 1433626506, 438775785, 1340043404, 1931717749, ID_HWREV_BYTE,
      1117277483, 444726575]),
    (3, 'Read dynamic variables and loop current', [],
     [698020263, ID_PV_UNIT, 196666074, ID_SV_UNIT, 44816747, ID_TV_UNIT, 573452228, ID_QV_UNIT, 1263913321]),
    (6, 'Write polling address', *echo(480012922)),
    (12, 'Read message', [], [1031198652]),
    (13, 'Read tag, descriptor and date', [], [ID_TAG, 1331626720, 36205890]),
    (16, 'Read final assembly number', [], [1085386367]),
    (17, 'Write message', *echo(1031198652)),
    (18, 'Write tag, descriptor and date', *echo(ID_TAG, 1331626720, 36205890)),
    (19, 'Write final assembly number', *echo(1085386367)),
    (35, 'Write retransmitter range values', *echo(ID_RANGE_UNIT, 365794669, 1904220959)),
    (38, 'Reset configuration changed flag', [], []),
    (40, 'Enter or exit fixed current mode of the retransmitter', *echo(46460907)),
    (42, 'Perform device reset', [], []),
    (48, 'Read additional device status', [], [ID_ADD_STATUS]),
    (108, 'Write burst mode command number', *echo(441397865)),
    (109, 'Burst mode control', *echo(266860845)),
    (134, 'Write switch configuration', *echo(*SWITCH_CONFIG)),
    (135, 'Write operating mode', [360852134], [360852134, 1988910801, 326335648]),
    (136, 'Read faults', [], FAULT_REPLY),
    (137, 'Read custom characteristic', [], [ID_CHARACTERISTIC]),
    (138, 'Clear faults', *echo(1196389098)),
    (139, 'Read historian', [], HISTORIAN),
    (140, 'Reset continuous historian', [], HISTORIAN),
    (141, 'Read raw data', [],
     [921161350, 1656509292, 1192987532, 1856708259, 1696477368, 645143289, 1269495809]),
    (142, 'Read switch states', [], [1426190062, 1474636899]),
    (154, 'Read setpoint and position', [], [1023235601, 196666074]),
    (155, 'Write manual setpoint', *echo(2093141900, 1023235601, 758096017)),
    (160, 'Write I/P count', *echo(877524290)),
    (165, 'Write configuration flags', *echo(*CONFIG_FLAGS)),
    (167, 'Write stroke', *echo(1389020516)),
    (169, 'Read stroke', [], [1389020516]),
    (172, 'Write custom characteristic', *echo(ID_CHARACTERISTIC)),
    (173, 'Write tuning parameters', *echo(*TUNING)),
    (175, 'Write limits', *echo(*LIMITS)),
    (179, 'Release manual stop', [], []),
    (180, 'Start finding the valve stops', [], []),
    (181, 'Write signal range', *echo(539950661, 1000059263)),
    (183, 'Reset calibration data', [], []),
    (184, 'Save signature', *echo(1734770901)),
    (185, 'Calibrate', *echo(707049616, 711731265, 525996180)),
    (189, 'Start autotune', *echo(896913603, 1822474542)),
    (190, 'Start diagnostics', *echo(*DIAG_START)),
    (191, 'Read signature, opening curve', [625914617],
     [625914617, ID_SIG_CURVE_OPEN, 988157535, 870778017, 264790405, 1571471286, 1045874997]),
    (192, 'Read signature, closing curve', [625914617],
     [625914617, ID_SIG_CURVE_CLOSE, 1277811141, 1270038270, 1271456638]),
    (200, 'Read device options and status', [],
     [743187560, 2108846086, 1437334234, 517267660, 1751090547]),
    (201, 'Read pressures and temperatures', [],
     [44816747, 573452228, 1263913321, 808165504, 910920976, 728053547, 1378508088]),
    (207, 'Read retransmitter range values', [], [ID_RANGE_UNIT, 365794669, 1904220959]),
    (210, 'Read configuration flags', [], CONFIG_FLAGS),
    (211, 'Read switch configuration', [], SWITCH_CONFIG),
    (212, 'Read limits', [], LIMITS),
    (213, 'Read signal range', [], [539950661, 1000059263]),
    (216, 'Read tuning parameters and autotune results', [],
     TUNING + [538227773, 596505115, 1674210272, 441737182]),
    (249, 'Read operating mode', [], [1988910801, 326335648]),
    (251, 'Read procedure status', [], [1417747975]),
    (253, 'Abort procedure', [], []),
]
