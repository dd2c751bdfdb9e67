"""Display texts of the Lenmor package that are not parameter labels.

Each entry maps a language-file key to (English, German). Parameter labels
and their "_HELP" texts live beside the parameters in level_tables.py.
Texts must not contain double quotes, "|", "//" or "/*" (the language file
reserves them); "\\n" in a text is a line break.
"""

PANEL = {
    # header and views
    "Lenmor": ("Lenmor", "Lenmor"),
    # the title of the DTM's message boxes
    "DTM_Name": ("Lenmor level controller DTM", "Lenmor Füllstandsregler-DTM"),
    "ApplyMode": ("Apply", "Übernehmen"),
    "Measurement": ("Measurement", "Messwerte"),
    "menu_addr_label": ("HART short address", "HART-Kurzadresse"),
    # menu tree
    "menu_table_root": ("Lenmor level controller", "Lenmor Füllstandsregler"),
    "menu_table_menuNormalMode": ("Normal mode", "Normalbetrieb"),
    "menu_table_menuTransMonitorView": ("Transmitter monitor", "Messumformer-Anzeige"),
    "menu_table_menuFaults": ("Faults", "Fehler"),
    "menu_table_menuCtrlMonitorView": ("Controller monitor", "Regler-Anzeige"),
    "menu_table_menuControllerParameters": ("Controller parameters", "Reglerparameter"),
    "menu_table_menuManualMode": ("Manual mode", "Handbetrieb"),
    "menu_table_menuConfiguration": ("Configuration", "Konfiguration"),
    "menu_table_menuTransAndOrCtrlConfig": ("Transmitter and controller", "Messumformer und Regler"),
    "menu_table_menuAlarmsAndFailsafe": ("Alarms and failsafe", "Alarme und Fehlerverhalten"),
    "menu_table_menuConfigDataBase": ("Configuration data base", "Konfigurationsdatenbank"),
    "menu_table_menuCalibration": ("Calibration", "Kalibrierung"),
    "menu_table_menuLevelOrInterfaceTrans": ("Level or interface", "Füllstand oder Trennschicht"),
    "menu_table_menuCalParameters": ("Calibration parameters", "Kalibrierparameter"),
    "menu_table_menuCalTools": ("Calibration tools", "Kalibrierwerkzeuge"),
    "menu_table_menuSpecificGravityMeter": ("Specific-gravity meter", "Dichtemesser"),
    "menu_table_menuDiagnostic": ("Diagnostics", "Diagnose"),
    # controller monitor and parameters
    "WriteSP": ("Write setpoint", "Sollwert schreiben"),
    "PID": ("PID", "PID"),
    "Read PID": ("Read PID", "PID lesen"),
    "ApplyPID": ("Write PID", "PID schreiben"),
    "other": ("Limits and alarms", "Grenzen und Alarme"),
    "Read": ("Read", "Lesen"),
    "ApplyCtrl": ("Apply", "Übernehmen"),
    # configuration
    "Transmitter": ("Transmitter", "Messumformer"),
    "Controller": ("Controller", "Regler"),
    "Displacer": ("Displacer", "Verdränger"),
    "TorqueTubeAndChamber": ("Torque tube and chamber", "Torsionsrohr und Kammer"),
    "DisplacerType": ("Displacer type", "Verdrängertyp"),
    "Options": ("Options", "Optionen"),
    "ChamberOptions": ("Chamber options", "Kammeroptionen"),
    # calibration
    "LevelTransmitter": ("Level transmitter", "Füllstandsmessung"),
    "InterfaceTransmitter": ("Interface transmitter", "Trennschichtmessung"),
    "RecordSG": ("Record SG", "Dichte speichern"),
    "RecordSGLowHigh": ("Record SGs", "Dichten speichern"),
    "ZERO": ("Zero", "Nullpunkt"),
    "SPAN": ("Span", "Endwert"),
    "READ": ("Read", "Lesen"),
    "SGCal_Info_Calibration": (
        "Level calibration:\\n1. Enter the specific gravity of the process liquid and press Record SG.\\n"
        "2. Bring the level to the lower range value and press Zero.\\n"
        "3. Bring the level to the upper range value and press Span.\\n"
        "Read shows the value stored in the device.",
        "Füllstandskalibrierung:\\n1. Dichteverhältnis der Prozessflüssigkeit eingeben und Dichte speichern drücken.\\n"
        "2. Füllstand auf den Messbereichsanfang bringen und Nullpunkt drücken.\\n"
        "3. Füllstand auf das Messbereichsende bringen und Endwert drücken.\\n"
        "Lesen zeigt den im Gerät gespeicherten Wert."),
    "fSGLowerUpperCal_Info_Calibration": (
        "Interface calibration:\\n1. Enter the specific gravities of the lower and the upper liquid and press Record SGs.\\n"
        "2. Bring the interface to the lower range value and press Zero.\\n"
        "3. Bring the interface to the upper range value and press Span.",
        "Trennschichtkalibrierung:\\n1. Dichteverhältnisse der unteren und der oberen Flüssigkeit eingeben und Dichten speichern drücken.\\n"
        "2. Trennschicht auf den Messbereichsanfang bringen und Nullpunkt drücken.\\n"
        "3. Trennschicht auf das Messbereichsende bringen und Endwert drücken."),
    "SpecificGravityMeter": ("Specific-gravity meter", "Dichtemesser"),
    "ResetToFactory": ("Factory calibration", "Werkskalibrierung"),
    "Ranges": ("Ranges", "Messbereich"),
    "Apply": ("Apply", "Übernehmen"),
    "SGCal_Info_Parameter": (
        "The level is computed from the buoyancy of the displacer, which depends on the specific gravity of the liquid. "
        "After a change of the liquid enter its specific gravity and press Apply.",
        "Der Füllstand wird aus dem Auftrieb des Verdrängers berechnet, der vom Dichteverhältnis der Flüssigkeit abhängt. "
        "Nach einem Wechsel der Flüssigkeit deren Dichteverhältnis eingeben und Übernehmen drücken."),
    "fSGLowerUpperCal_Info_Parameter": (
        "For interface measurement the buoyancy depends on the difference of the two specific gravities. "
        "Enter both values and press Apply.",
        "Bei der Trennschichtmessung hängt der Auftrieb von der Differenz der beiden Dichteverhältnisse ab. "
        "Beide Werte eingeben und Übernehmen drücken."),
    "4_20_Calibration": ("4-20 mA calibration", "4-20-mA-Kalibrierung"),
    "4mA": ("4 mA", "4 mA"),
    "20mA": ("20 mA", "20 mA"),
    "Set": ("Set", "Setzen"),
    "SetCurrent": ("Set current", "Strom setzen"),
    "Info_4_20_mA_Calibration": (
        "Press 4 mA, read the current on a reference meter, enter it beside the button and press Set. "
        "Repeat with 20 mA.",
        "4 mA drücken, den Strom an einem Referenzmessgerät ablesen, neben der Schaltfläche eingeben und Setzen drücken. "
        "Mit 20 mA wiederholen."),
    "Info_Current_Calibration": (
        "Set current outputs the entered current until another current is set; 0 mA returns to the measured level.",
        "Strom setzen gibt den eingegebenen Strom aus, bis ein anderer Strom gesetzt wird; 0 mA kehrt zum gemessenen Füllstand zurück."),
    "Coupling": ("Coupling", "Kopplung"),
    "Info_Coupling": (
        "Switch on while coupling the displacer to the torque tube: the coupling signal is read cyclically "
        "and should be near 50 % when the lever is coupled.",
        "Beim Ankoppeln des Verdrängers an das Torsionsrohr einschalten: das Kopplungssignal wird zyklisch gelesen "
        "und sollte bei angekoppeltem Hebel nahe 50 % liegen."),
    # diagnostics and faults
    "ContinuousDiagData": ("Continuous diagnostic data", "Fortlaufende Diagnosedaten"),
    "ResetData": ("Reset data", "Daten zurücksetzen"),
    "Filtering": ("Filtering", "Filterung"),
    "AutoTune": ("Autotune", "Selbstabgleich"),
    "SaveCoef": ("Save coefficients", "Koeffizienten speichern"),
    "ReadCoef": ("Read coefficients", "Koeffizienten lesen"),
    "SensorTest": ("Sensor test", "Sensortest"),
    "Info_Sensor_Test": (
        "The sensor test checks the torque sensor and its electronics. "
        "The loop current holds its last value for about ten seconds during the test.",
        "Der Sensortest prüft den Drehmomentsensor und seine Elektronik. "
        "Der Schleifenstrom hält während des Tests etwa zehn Sekunden lang seinen letzten Wert."),
    "ClearStatus": ("Clear faults", "Fehler löschen"),
    "CurrentFaults": ("Current faults", "Aktuelle Fehler"),
    # states shown by the status texts of the diagnostic panel
    "SensorTest_Idle": ("Not started", "Nicht gestartet"),
    "SensorTest_Running": ("Running", "Läuft"),
    "SensorTest_Passed": ("Passed", "Bestanden"),
    "SensorTest_Failed": ("Failed", "Nicht bestanden"),
    "AutoTune_Idle": ("Not started", "Nicht gestartet"),
    "AutoTune_Running": ("Running", "Läuft"),
    "AutoTune_Done": ("Done", "Abgeschlossen"),
    "AutoTune_Failed": ("Failed", "Fehlgeschlagen"),
    # functions of the DTM description
    "menu_level_parameter": ("Parameterize", "Parametrieren"),
    "menu_level_measurement": ("Measured values", "Messwerte"),
    "menu_level_address": ("Bus address", "Busadresse"),
    # messages of the engine
    "inconsistent_data_help": (
        "The value is outside its valid range and is not written to the device. Valid range:",
        "Der Wert liegt außerhalb seines gültigen Bereichs und wird nicht in das Gerät geschrieben. Gültiger Bereich:"),
}

ENUM = {
    "Mode_Normal": ("Normal mode", "Normalbetrieb"),
    "Mode_Manual": ("Manual mode", "Handbetrieb"),
    "Level": ("Level", "Füllstand"),
    "Interface": ("Interface", "Trennschicht"),
    "Mount_Left": ("Left of displacer", "Links vom Verdränger"),
    "Mount_Right": ("Right of displacer", "Rechts vom Verdränger"),
    "Direct": ("Direct", "Direkt"),
    "Reverse": ("Reverse", "Umgekehrt"),
    "English": ("English", "Englisch"),
    "German": ("German", "Deutsch"),
    "French": ("French", "Französisch"),
    "Spanish": ("Spanish", "Spanisch"),
    "Unlocked": ("Unlocked", "Entsperrt"),
    "Locked": ("Locked", "Gesperrt"),
    "On": ("On", "Ein"),
    "Off": ("Off", "Aus"),
    "Yes": ("Yes", "Ja"),
    "No": ("No", "Nein"),
    "Fail_Low": ("Low current", "Niedriger Strom"),
    "Fail_High": ("High current", "Hoher Strom"),
    "Fail_Hold": ("Hold last value", "Letzten Wert halten"),
    "Inconel": ("Inconel", "Inconel"),
    "Stainless_Steel": ("Stainless steel", "Edelstahl"),
    "Monel": ("Monel", "Monel"),
    "Hastelloy": ("Hastelloy", "Hastelloy"),
    "Wall_Standard": ("Standard wall", "Standardwand"),
    "Wall_Thin": ("Thin wall", "Dünnwandig"),
    "Wall_Heavy": ("Heavy wall", "Dickwandig"),
    "Rating_PN40": ("PN 40", "PN 40"),
    "Rating_PN100": ("PN 100", "PN 100"),
    "Rating_Class300": ("Class 300", "Class 300"),
    "Rating_Class600": ("Class 600", "Class 600"),
    "Conn_Side_Side": ("Side and side", "Seitlich und seitlich"),
    "Conn_Top_Bottom": ("Top and bottom", "Oben und unten"),
    "Conn_Side_Bottom": ("Side and bottom", "Seitlich und unten"),
    "Conn_Top_Side": ("Top and side", "Oben und seitlich"),
    "ErrorMode_Hold": ("Hold output", "Ausgang halten"),
    "ErrorMode_Output": ("Go to error output", "Fehlerausgang ausgeben"),
    "Alarm_High": ("High", "Hoch"),
    "Alarm_Low": ("Low", "Tief"),
    "Alarm_Hold": ("Hold last value", "Letzten Wert halten"),
    "None": ("None", "Keine"),
    "Linear": ("Linear", "Linear"),
    "Square_Root": ("Square root", "Radiziert"),
    "Test_Passed": ("Passed", "Bestanden"),
    "Test_Failed": ("Failed", "Nicht bestanden"),
    "Test_Running": ("Running", "Läuft"),
    "Test_Not_Run": ("Not run", "Nicht ausgeführt"),
    "Bell202_Current": ("Bell 202 current", "Bell 202 Strom"),
    "Bell202_Voltage": ("Bell 202 voltage", "Bell 202 Spannung"),
    "RS485": ("RS-485", "RS-485"),
    "RS232": ("RS-232", "RS-232"),
    "Varnholt": ("Varnholt", "Varnholt"),
    "Fault_Off": ("OK", "OK"),
    "Fault_On": ("Active", "Aktiv"),
}

_REPEAT = ("\\nRepeat the command?", "\\nKommando wiederholen?")

_RESPONSES = {
    1: ("Undefined error.", "Nicht definierter Fehler."),
    2: ("Invalid selection.", "Ungültige Auswahl."),
    3: ("Value too large.", "Wert zu groß."),
    4: ("Value too small.", "Wert zu klein."),
    5: ("Too few data bytes received.", "Zu wenige Datenbytes empfangen."),
    6: ("Device-specific command error.", "Gerätespezifischer Kommandofehler."),
    7: ("The device is write-protected.", "Das Gerät ist schreibgeschützt."),
    8: ("Warning: value set to the nearest possible value.",
        "Warnung: Wert auf den nächstmöglichen Wert gesetzt."),
    9: ("Lower range value too high, or the present level is too high.",
        "Messbereichsanfang zu hoch oder der anliegende Füllstand ist zu hoch."),
    10: ("Lower range value too low, or the present level is too low.",
         "Messbereichsanfang zu tief oder der anliegende Füllstand ist zu tief."),
    11: ("Upper range value too high, or the device is in multidrop mode.",
         "Messbereichsende zu hoch oder das Gerät ist im Multidrop-Betrieb."),
    12: ("Upper range value too low, or invalid unit code.",
         "Messbereichsende zu tief oder ungültiger Einheitencode."),
    13: ("Both range values out of limits.", "Beide Messbereichswerte außerhalb der Grenzen."),
    14: ("Warning: span too small.", "Warnung: Messspanne zu klein."),
    16: ("Access restricted.", "Zugriff eingeschränkt."),
    32: ("The device is busy.", "Das Gerät ist beschäftigt."),
    64: ("Command not implemented.", "Kommando nicht implementiert."),
}

RESPONSES = {"CMDResponse%d" % code: (en + _REPEAT[0], de + _REPEAT[1])
             for code, (en, de) in _RESPONSES.items()}
