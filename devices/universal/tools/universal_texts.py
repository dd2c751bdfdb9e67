"""Display texts of the universal package that are not parameter labels.

Each entry maps a language-file key to (English, German). Parameter labels
and their "_HELP" texts live beside the parameters in universal_tables.py,
enumeration labels in universal_units.py. Texts must not contain double
quotes, "|", "//" or "/*" (the language file reserves them); "\\n" in a text
is a line break.
"""

GENERAL = {
    # the title of the DTM's message boxes
    "DTM_Name": ("Universal HART DTM", "Universelles HART-DTM"),
    "Universal": ("Universal HART device", "Universelles HART-Gerät"),
}

_REPEAT = ("\\nRepeat the command?", "\\nKommando wiederholen?")

# Response codes of the universal and common-practice commands. Several codes
# mean different things for different commands; the text names each meaning.
_RESPONSES = {
    1: ("Undefined error.", "Nicht definierter Fehler."),
    2: ("Invalid selection.", "Ungültige Auswahl."),
    3: ("Passed parameter too large.", "Übergebener Wert zu groß."),
    4: ("Passed parameter too small.", "Übergebener Wert zu klein."),
    5: ("Too few data bytes received.", "Zu wenige Datenbytes empfangen."),
    6: ("Device-specific command error.", "Gerätespezifischer Kommandofehler."),
    7: ("The device is write-protected.", "Das Gerät ist schreibgeschützt."),
    8: ("Warning: value set to the nearest possible value.",
        "Warnung: Wert auf den nächstmöglichen Wert gesetzt."),
    9: ("Lower range value too high, or configuration change counter mismatch.",
        "Messbereichsanfang zu hoch oder Konfigurationsänderungszähler passt nicht."),
    10: ("Lower range value too low.", "Messbereichsanfang zu tief."),
    11: ("Upper range value too high.", "Messbereichsende zu hoch."),
    12: ("Upper range value too low, or invalid unit code.",
         "Messbereichsende zu tief oder ungültiger Einheitencode."),
    13: ("Both range values out of limits.", "Beide Messbereichswerte außerhalb der Grenzen."),
    14: ("Warning: span too small, or the upper range value was pushed beyond its limit.",
         "Warnung: Messspanne zu klein oder das Messbereichsende wurde über seine Grenze verschoben."),
    16: ("Access restricted.", "Zugriff eingeschränkt."),
    28: ("Invalid range unit code.", "Ungültiger Einheitencode der Messbereichswerte."),
    29: ("Invalid span.", "Ungültige Messspanne."),
    32: ("The device is busy.", "Das Gerät ist beschäftigt."),
    33: ("Delayed response initiated.", "Verzögerte Antwort eingeleitet."),
    34: ("Delayed response running.", "Verzögerte Antwort läuft."),
    35: ("Delayed response dead.", "Verzögerte Antwort abgebrochen."),
    36: ("Delayed response conflict.", "Konflikt bei verzögerter Antwort."),
    64: ("Command not implemented.", "Kommando nicht implementiert."),
}

RESPONSES = {"CMDResponse%d" % code: (en + _REPEAT[0], de + _REPEAT[1])
             for code, (en, de) in _RESPONSES.items()}
