"""English and German texts of the Ravik positioner DTM, by translation key.

Parameter labels and their "_HELP" texts come from positioner_model; this
module holds every other key: panel and menu labels, workflow status texts
and messages, enumeration entries, fault states and HART response codes.
Texts are single lines: "\\n" stands for a line break, and a text never holds
a double quote, a "|", "//" or "/*" (the language file format reserves them).
A "%" appears only in the texts that the DTM uses as formats.
"""

TEXTS = {
    # --- identity and frame -------------------------------------------------
    'DTM_Name': ('Ravik HART DTM', 'Ravik HART-DTM'),
    'Ravik': ('Ravik HART positioner', 'Ravik HART-Stellungsregler'),
    'inconsistent_data_help': ('The value lies outside its valid range. Valid range:',
                               'Der Wert liegt außerhalb seines gültigen Bereichs. Gültiger Bereich:'),
    'MenuParameterize': ('Parameterize', 'Parametrieren'),
    'MenuMeasuredValues': ('Measured values', 'Messwerte'),
    'MenuDocumentation': ('Documentation', 'Dokumentation'),
    'DocQuickStart': ('Quick start guide', 'Kurzanleitung'),

    # --- header and menu tree -----------------------------------------------
    'ActiveMode': ('Active mode', 'Aktive Betriebsart'),
    'ModeToSet': ('Mode to set', 'Neue Betriebsart'),
    'ApplyMode': ('Apply', 'Übernehmen'),
    'menu_table_root': ('Ravik positioner', 'Ravik Stellungsregler'),
    'menu_table_menuReadPressures': ('Read pressures', 'Drücke lesen'),
    'menu_table_menuDeviceSetup': ('Device setup', 'Geräteeinrichtung'),
    'SetupWizard': ('Setup wizard', 'Einrichtungsassistent'),
    'menu_table_menuManualSetup': ('Manual setup', 'Manuelle Einrichtung'),
    'ConfigureWizard': ('Configuration wizard', 'Konfigurationsassistent'),
    'FindStops': ('Find stops', 'Anschläge suchen'),
    'AutoTune': ('Autotune', 'Selbstoptimierung'),
    'menu_table_menuConfig': ('Configuration', 'Konfiguration'),
    'menu_table_menuGeneral': ('General', 'Allgemein'),
    'menu_table_menuActuatorValve': ('Actuator and valve', 'Antrieb und Ventil'),
    'menu_table_menuPositioning': ('Positioning', 'Positionierung'),
    'menu_table_menuLimits': ('Limits', 'Grenzen'),
    'menu_table_menuErrorLimits': ('Error limits', 'Fehlergrenzen'),
    'menu_table_menuSwitchConfiguration': ('Switch configuration', 'Schalterkonfiguration'),
    'menu_table_menuHart': ('HART', 'HART'),
    'menu_table_menuDeviceInfo': ('Device information', 'Geräteinformation'),
    'menu_table_menuCalibrate': ('Calibrate', 'Kalibrieren'),
    'menu_table_menuStrokeValve': ('Stroke valve', 'Ventil verfahren'),
    'menu_table_menuManualSetpoint': ('Manual setpoint', 'Manueller Sollwert'),
    'menu_table_menuPIDInfo': ('PID parameters', 'PID-Parameter'),
    'menu_table_menuInputs': ('Sensors', 'Sensoren'),
    'CalibSignal': ('Calibrate signal', 'Signal kalibrieren'),
    'CalibPressure': ('Calibrate pressure', 'Druck kalibrieren'),
    'menu_table_menuCommissioning': ('Commissioning', 'Inbetriebnahme'),
    'menu_table_menuPosRetransmit': ('Position retransmit', 'Stellungsrückmeldung'),
    'SetAnalogOutput': ('Set analog output', 'Analogausgang setzen'),
    'ChangeOutputRange': ('Change output range', 'Ausgangsbereich ändern'),
    'menu_table_menuPerformDiagnostics': ('Perform diagnostics', 'Diagnose durchführen'),
    'menu_table_menuDiagnostics': ('Diagnostics', 'Diagnose'),
    'menu_table_menuDeviceStatusFaults': ('Device status and faults', 'Gerätestatus und Fehler'),
    'menu_table_menuSensorMeasurements': ('Sensor measurements', 'Sensormesswerte'),
    'menu_table_menuRawData': ('Raw data', 'Rohdaten'),
    'menu_table_menuHistorian': ('Historian', 'Betriebshistorie'),
    'menu_table_menuSignature': ('Valve signature', 'Ventilsignatur'),
    'menu_table_menuTemperature': ('Temperature', 'Temperatur'),
    'Measurement': ('Measurement', 'Messwerte'),
    'Main Signals': ('Main signals', 'Hauptsignale'),
    'menuITOP': ('I/P converter', 'I/P-Wandler'),
    'Switches': ('Switches', 'Schalter'),
    'ManualTuning': ('Manual tuning', 'Manuelle Optimierung'),
    'CurrentFaults': ('Current faults', 'Aktuelle Fehler'),
    'HistoricFaults': ('Historic faults', 'Gespeicherte Fehler'),

    # --- buttons, state boxes and fixed texts -------------------------------
    'Start': ('Start', 'Start'),
    'Continue': ('Continue', 'Weiter'),
    'Skip': ('Skip', 'Überspringen'),
    'Cancel': ('Cancel', 'Abbrechen'),
    'Read': ('Read', 'Lesen'),
    'Write': ('Write', 'Schreiben'),
    'Set': ('Set', 'Setzen'),
    'Finished': ('Finished', 'Beenden'),
    'Calibrate': ('Calibrate', 'Kalibrieren'),
    'Reset': ('Reset', 'Zurücksetzen'),
    'FactoryConfigurationOnline': ('Load factory configuration into the device',
                                   'Werkseinstellung in das Gerät laden'),
    'FactoryConfigurationOffline': ('Load factory configuration into the data set',
                                    'Werkseinstellung in den Datensatz laden'),
    'CheckCharacterization': ('Check characteristic', 'Kennlinie prüfen'),
    'X': ('X', 'X'),
    'Y': ('Y', 'Y'),
    'ManualStop': ('Manual stop', 'Manueller Anschlag'),
    'Low': ('Low', 'Unten'),
    'High': ('High', 'Oben'),
    'ok': ('Released', 'Freigegeben'),
    'FullyOpen': ('Fully open', 'Ganz öffnen'),
    'FullyClose': ('Fully close', 'Ganz schließen'),
    'ManualSetpointPosition': ('Set as position', 'Als Stellung vorgeben'),
    'ManualSetpointSignal': ('Set as signal', 'Als Signal vorgeben'),
    'ForBothDir': ('Both directions', 'Beide Richtungen'),
    'ForOpenOnly': ('Opening only', 'Nur öffnend'),
    'ForCloseOnly': ('Closing only', 'Nur schließend'),
    'ResetCalibrationData': ('Reset calibration data', 'Kalibrierdaten zurücksetzen'),
    'savedSignature': ('Saved signature', 'Gespeicherte Signatur'),
    'baselineSignature': ('Baseline signature', 'Referenzsignatur'),
    'currentSignature': ('Current signature', 'Aktuelle Signatur'),
    'ClearFaults': ('Clear faults', 'Fehler löschen'),
    'ClearHistoricFaults': ('Clear historic faults', 'Gespeicherte Fehler löschen'),
    'SetIPCount': ('Set I/P count', 'I/P-Wert setzen'),
    'ResetContinuous': ('Reset historian', 'Historie zurücksetzen'),
    'position_perc': ('Position (%)', 'Stellung (%)'),
    'pressure_psi': ('Pressure (psi)', 'Druck (psi)'),
    'Tervillon Valve Type': ('Tervillon valve type', 'Tervillon-Ventiltyp'),
    'Tervillon Valve Trim Type': ('Tervillon trim type', 'Tervillon-Garniturtyp'),
    'Set Tight Shutoff': ('Set tight shutoff', 'Dichtschließen einstellen'),
    'Positioner Characteristics': ('Positioner characteristic', 'Kennlinie des Stellungsreglers'),
    'Any': ('Any', 'Beliebig'),
    'Application specific and Trim Dependant': ('Application specific and trim dependent',
                                                'Abhängig von Anwendung und Garnitur'),
    'Application specific': ('Application specific', 'Abhängig von der Anwendung'),
    'Linear': ('Linear', 'Linear'),
    'Partial Stack': ('Partial stack', 'Teilstapel'),
    'Full Stack': ('Full stack', 'Vollstapel'),
    'Cage': ('Cage', 'Käfig'),
    # valve types and trims of the limits panel's table (neutral names)
    'Globe Valve': ('Globe valve', 'Durchgangsventil'),
    'Rotary Ball Valve': ('Rotary ball valve', 'Kugelhahn'),
    'Eccentric Plug Valve': ('Eccentric plug valve', 'Exzenterdrehkegelventil'),
    'Eccentric Plug': ('Eccentric plug', 'Exzenterkegel'),
    'Low Noise Globe Valve': ('Low-noise globe valve', 'Geräuscharmes Durchgangsventil'),
    'Anti-Cavitation Valve': ('Anti-cavitation valve', 'Antikavitationsventil'),
    'Cage Guided Valve': ('Cage-guided valve', 'Käfiggeführtes Ventil'),
    'Butterfly Valve': ('Butterfly valve', 'Absperrklappe'),
    'Offset Disc': ('Offset disc', 'Exzentrische Scheibe'),

    # --- long help and information texts ------------------------------------
    'SetupWizard_HELP': (
        'The setup wizard commissions the positioner in four steps: air action, finding the valve stops, '
        'autotune and factory configuration. The device must be in setup mode. Press Start, then Continue '
        'to run a step or Skip to leave it out.',
        'Der Einrichtungsassistent nimmt den Stellungsregler in vier Schritten in Betrieb: Luftwirkung, '
        'Anschlagsuche, Selbstoptimierung und Werkseinstellung. Das Gerät muss in der Einrichtung sein. '
        'Drücken Sie Start und dann Weiter, um einen Schritt auszuführen, oder Überspringen, um ihn auszulassen.'),
    'Configuration_HELP': (
        'Loads the factory configuration into the data set of this DTM. The device is not changed until '
        'the data set is downloaded.\\nAfterwards check the air action, the pressure unit and the limits '
        'before you download.',
        'Lädt die Werkseinstellung in den Datensatz dieses DTM. Das Gerät wird erst beim Herunterladen '
        'des Datensatzes geändert.\\nPrüfen Sie danach Luftwirkung, Druckeinheit und Grenzen, bevor Sie '
        'herunterladen.'),
    'ConfigureWizard_HELP': (
        'Set the basic configuration of the positioner. Read loads the values from the device, Write '
        'sends them and reads them back.',
        'Stellen Sie die Grundkonfiguration des Stellungsreglers ein. Lesen holt die Werte aus dem Gerät, '
        'Schreiben sendet sie und liest sie zurück.'),
    'FindStops_HELP': (
        'Finding the stops moves the valve to both end positions and stores them as 0 and 100 percent. '
        'The device must be in setup mode and the process must allow the valve to move.',
        'Die Anschlagsuche fährt das Ventil in beide Endlagen und speichert sie als 0 und 100 Prozent. '
        'Das Gerät muss in der Einrichtung sein und der Prozess muss die Bewegung des Ventils zulassen.'),
    'AutoTune_HELP': (
        'The autotune strokes the valve and sets the controller parameters. Enter the supply pressure '
        'and the aggressiveness before you continue. The device must be in setup mode.',
        'Die Selbstoptimierung verfährt das Ventil und stellt die Reglerparameter ein. Geben Sie vor dem '
        'Fortfahren Zuluftdruck und Aggressivität ein. Das Gerät muss in der Einrichtung sein.'),
    'ActuatorTypeInfo': (
        'Single acting actuators have one pressure chamber and a spring, double acting actuators are '
        'driven by air in both directions. The actuator type is fixed by the device variant.',
        'Einfachwirkende Antriebe haben eine Druckkammer und eine Feder, doppeltwirkende Antriebe werden '
        'in beiden Richtungen mit Luft bewegt. Die Antriebsart ist durch die Gerätevariante festgelegt.'),
    'PositioningInfo': (
        'With the custom characteristic, enter up to nine points. X is the setpoint and Y the position, '
        '256 means 100 percent on both axes; 255 ends the table. Check the characteristic before you '
        'download it.',
        'Für die freie Kennlinie geben Sie bis zu neun Punkte ein. X ist der Sollwert und Y die Stellung, '
        '256 bedeutet auf beiden Achsen 100 Prozent; 255 beendet die Tabelle. Prüfen Sie die Kennlinie '
        'vor dem Herunterladen.'),
    'LimitsShutoffInfo': (
        'The software limits keep the position between the lower and upper limit. Below the tight '
        'shutoff value the valve is closed with full force.',
        'Die Softwaregrenzen halten die Stellung zwischen unterer und oberer Grenze. Unterhalb des '
        'Dichtschließwerts wird das Ventil mit voller Kraft geschlossen.'),
    'AlarmSetupInfo': (
        'A position error is reported when the deviation exceeds the error band for longer than the '
        'error time. The deadband keeps small deviations from counting.',
        'Eine Regelabweichung wird gemeldet, wenn die Abweichung das Fehlerband länger als die '
        'Fehlerzeit überschreitet. Das Totband lässt kleine Abweichungen unberücksichtigt.'),
    'SwitchesInfo': (
        'Each switch can signal a position limit, a fault or that the device is not in normal mode. '
        'Position switches change over at their trip point.',
        'Jeder Schalter kann eine Stellungsgrenze, einen Fehler oder eine andere Betriebsart als Normal '
        'melden. Stellungsschalter schalten an ihrem Schaltpunkt um.'),
    'HARTInfo': (
        'In burst mode the device sends the reply of the burst command cyclically without being asked. '
        'Switch burst mode off when several devices share the loop.',
        'Im Burst-Modus sendet das Gerät die Antwort des Burst-Kommandos zyklisch ohne Anfrage. Schalten '
        'Sie den Burst-Modus aus, wenn sich mehrere Geräte die Schleife teilen.'),
    'AirActingInfo': (
        'With air to open the low stop closes the valve; with air to close it opens the valve.',
        'Bei der Luftwirkung Luft öffnet schließt der untere Anschlag das Ventil, bei Luft schließt öffnet er es.'),
    'ManualSetpointMode_HELP': (
        'Set as position drives the valve to the setpoint in percent. Set as signal takes the setpoint as '
        'an input current between 4 and 20 mA. Fully open and fully close drive to the end positions.',
        'Als Stellung vorgeben fährt das Ventil auf den Sollwert in Prozent. Als Signal vorgeben wertet '
        'den Sollwert als Eingangsstrom zwischen 4 und 20 mA. Ganz öffnen und ganz schließen fahren in '
        'die Endlagen.'),
    'StrokeTimeInfo': (
        'The stroke time limits the speed of the valve. Choose whether it applies to both directions or '
        'to one only.',
        'Die Stellzeit begrenzt die Geschwindigkeit des Ventils. Wählen Sie, ob sie für beide Richtungen '
        'oder nur für eine gilt.'),
    'CalibrationSensorsInfo': (
        'The positioner measures the position, the input signal and up to four pressures.',
        'Der Stellungsregler misst Stellung, Eingangssignal und bis zu vier Drücke.'),
    'CalibPressure_HELP': (
        'Vent the actuator and shut off the supply, then press Calibrate to set the zero of the pressure '
        'sensors.',
        'Entlüften Sie den Antrieb und sperren Sie die Zuluft, dann drücken Sie Kalibrieren, um den '
        'Nullpunkt der Drucksensoren zu setzen.'),
    'CalibSignal_HELP': (
        'Apply the low calibration current and press the upper Calibrate button, then apply the high '
        'current and press the lower one.',
        'Legen Sie den unteren Kalibrierstrom an und drücken Sie die obere Schaltfläche Kalibrieren, dann '
        'legen Sie den oberen Strom an und drücken Sie die untere.'),
    'CalibrationInfo': (
        'Resetting the calibration data restores the factory calibration of the signal and the pressure '
        'sensors.',
        'Das Zurücksetzen der Kalibrierdaten stellt die Werkskalibrierung von Signal und Drucksensoren '
        'wieder her.'),
    'PositionRetransmitInfo': (
        'The position retransmitter sends the valve position as a 4 to 20 mA signal.',
        'Der Stellungsrückmelder gibt die Ventilstellung als Signal von 4 bis 20 mA aus.'),
    'SetAnalogOutput_HELP': (
        'Enter a current and press Set to drive the retransmitter output to it, for example to check '
        'the loop.',
        'Geben Sie einen Strom ein und drücken Sie Setzen, um den Ausgang des Rückmelders darauf zu '
        'setzen, zum Beispiel zur Schleifenprüfung.'),
    'SetAnalogOutputFinished': (
        'Press Finished to return the output to the valve position.',
        'Drücken Sie Beenden, damit der Ausgang wieder der Ventilstellung folgt.'),
    'ChangeOutputRange_HELP': (
        'The range values map the valve position to the output current. They must differ by at least '
        '5 percent.',
        'Die Bereichswerte ordnen die Ventilstellung dem Ausgangsstrom zu. Sie müssen sich um mindestens '
        '5 Prozent unterscheiden.'),
    'PerformDiagnostics_HELP': (
        'The diagnostics stroke the valve slowly and record its signature. Switch off the software limits '
        'and tight shutoff first; the device must be in setup mode.',
        'Die Diagnose verfährt das Ventil langsam und zeichnet seine Signatur auf. Schalten Sie zuvor '
        'Softwaregrenzen und Dichtschließen aus; das Gerät muss in der Einrichtung sein.'),
    'ResetInfo_HELP': (
        'Reset restarts the device. Communication is interrupted for a few seconds.',
        'Zurücksetzen startet das Gerät neu. Die Kommunikation ist für einige Sekunden unterbrochen.'),

    # --- workflow status texts and messages ---------------------------------
    'TEXT_STROKE_VALVE': ('The valve will move. Make sure that the process allows it.',
                          'Das Ventil wird bewegt. Stellen Sie sicher, dass der Prozess dies zulässt.'),
    'moreStatusAvailable': ('More status available', 'Weitere Statusinformationen verfügbar'),
    'info_offline': ('The device is offline.', 'Das Gerät ist nicht verbunden.'),
    'SETUP_MODE_NO_LONGER_NEEDED': (
        'The procedure has ended. Set the device back to normal mode when setup mode is no longer needed.',
        'Die Prozedur ist beendet. Schalten Sie das Gerät wieder in die Betriebsart Normal, wenn die '
        'Einrichtung nicht mehr benötigt wird.'),
    'SETUP_MODE_NEEDED': ('This procedure needs the device in setup mode.',
                          'Diese Prozedur erfordert das Gerät in der Einrichtung.'),
    'FactoryConfigRunning': ('Loading the factory configuration...', 'Werkseinstellung wird geladen...'),
    'FactoryConfigComplete': ('The factory configuration has been loaded.', 'Die Werkseinstellung ist geladen.'),
    'CalibrationResetRunning': ('Resetting the calibration data...', 'Kalibrierdaten werden zurückgesetzt...'),
    'CalibrationResetComplete': ('The calibration data have been reset.', 'Die Kalibrierdaten sind zurückgesetzt.'),
    'FindValveStopsNotAllowed': ('Finding the stops is not possible while the device has marginal power.',
                                 'Die Anschlagsuche ist bei grenzwertiger Versorgung nicht möglich.'),
    'TEXT_FIND_STOPS': ('Press Continue to find the valve stops.',
                        'Drücken Sie Weiter, um die Ventilanschläge zu suchen.'),
    'TEXT_FIND_STOPS_STARTED': ('Finding the valve stops. Please wait...',
                                'Die Ventilanschläge werden gesucht. Bitte warten...'),
    'FindStopFault': ('Finding the stops failed. Check the mounting and the air supply.',
                      'Die Anschlagsuche ist fehlgeschlagen. Prüfen Sie Anbau und Zuluft.'),
    'FindStopCompleted': ('The valve stops have been found. Press Continue to finish.',
                          'Die Ventilanschläge sind gefunden. Drücken Sie Weiter zum Abschluss.'),
    'TEXT_PLEASE_WAIT': ('Please wait...', 'Bitte warten...'),
    'RemoveSoftwareLimit': ('Switch off the software limits and tight shutoff before the diagnostics.',
                            'Schalten Sie vor der Diagnose Softwaregrenzen und Dichtschließen aus.'),
    'ContinueToStartProzedure': ('Check the ramp speed and press Continue to start.',
                                 'Prüfen Sie die Rampengeschwindigkeit und drücken Sie Weiter zum Start.'),
    'DiagnosticsFAILED.': ('The diagnostics failed.', 'Die Diagnose ist fehlgeschlagen.'),
    'DiagnosticsCompleted': ('The diagnostics are complete. Reading the signature...',
                             'Die Diagnose ist abgeschlossen. Die Signatur wird gelesen...'),
    'PressButtonsToSave': ('Store the signature as saved or baseline signature, then press Continue.',
                           'Speichern Sie die Signatur als gespeicherte oder Referenzsignatur, dann drücken '
                           'Sie Weiter.'),
    'RemoveSoftwareLimitAutoTune': ('Switch off the software limits before the autotune.',
                                    'Schalten Sie vor der Selbstoptimierung die Softwaregrenzen aus.'),
    'StartAutoTune': ('Check the supply pressure and the aggressiveness, then press Continue.',
                      'Prüfen Sie Zuluftdruck und Aggressivität, dann drücken Sie Weiter.'),
    'AutotuneCompleted': ('The autotune is complete.', 'Die Selbstoptimierung ist abgeschlossen.'),
    'AT_FAIL_OPEN_LOOP': ('Autotune failed: the valve does not move.',
                          'Selbstoptimierung fehlgeschlagen: das Ventil bewegt sich nicht.'),
    'AT_FAIL_P_TOO_SMALL': ('Autotune failed: the proportional gain is too small.',
                            'Selbstoptimierung fehlgeschlagen: die Proportionalverstärkung ist zu klein.'),
    'AT_FAIL_PADJ_TOO_BIG': ('Autotune failed: the P adjustment is too big.',
                             'Selbstoptimierung fehlgeschlagen: die P-Anpassung ist zu groß.'),
    'AT_BIAS_OUT_RANGE': ('Autotune failed: the I/P bias is out of range.',
                          'Selbstoptimierung fehlgeschlagen: der I/P-Arbeitspunkt liegt außerhalb des Bereichs.'),
    'AT_OVER_TIME_FILL': ('Autotune failed: filling the actuator took too long.',
                          'Selbstoptimierung fehlgeschlagen: das Befüllen des Antriebs dauerte zu lange.'),
    'AT_OVER_TIME_EXHA': ('Autotune failed: exhausting the actuator took too long.',
                          'Selbstoptimierung fehlgeschlagen: das Entlüften des Antriebs dauerte zu lange.'),
    'AT_UNKNOWN': ('Autotune failed with error code %s.', 'Selbstoptimierung mit Fehlercode %s fehlgeschlagen.'),
    'SkipAirActionConfiguration': ('Step 1: air action. Continue writes it to the device, Skip keeps the '
                                   'device setting.',
                                   'Schritt 1: Luftwirkung. Weiter schreibt sie in das Gerät, Überspringen '
                                   'behält die Geräteeinstellung.'),
    'SkipFindStops': ('Step 2: find the valve stops. Continue starts, Skip leaves it out.',
                      'Schritt 2: Ventilanschläge suchen. Weiter startet, Überspringen lässt ihn aus.'),
    'SkipAutoTune': ('Step 3: autotune. Continue starts, Skip leaves it out.',
                     'Schritt 3: Selbstoptimierung. Weiter startet, Überspringen lässt ihn aus.'),
    'SkipFactoryConfig': ('Step 4: factory configuration. Continue loads it, Skip leaves it out.',
                          'Schritt 4: Werkseinstellung. Weiter lädt sie, Überspringen lässt ihn aus.'),
    'SetupWizFinished': ('The setup is complete. Press Continue to close the wizard.',
                         'Die Einrichtung ist abgeschlossen. Drücken Sie Weiter, um den Assistenten zu schließen.'),
    'InvalidSegmentSameX': ('The characteristic is invalid at %.1f %%: two points have the same X value.',
                            'Die Kennlinie ist bei %.1f %% ungültig: zwei Punkte haben denselben X-Wert.'),
    'InvalidSegmentLowSlope': ('The characteristic is invalid at %.1f %%: the slope is below 0.08.',
                               'Die Kennlinie ist bei %.1f %% ungültig: die Steigung ist kleiner als 0,08.'),
    'InvalidSegmentHighSlope': ('The characteristic is invalid at %.1f %%: the slope is above 12.',
                                'Die Kennlinie ist bei %.1f %% ungültig: die Steigung ist größer als 12.'),
    'InvalidSegmentSlopeChangeTooMuch': (
        'The characteristic is invalid at %.1f %%: the slope rises to more than three times the previous one.',
        'Die Kennlinie ist bei %.1f %% ungültig: die Steigung wächst auf mehr als das Dreifache der vorigen.'),
    'InvalidSegmentSlopeChangeTooSlow': (
        'The characteristic is invalid at %.1f %%: the slope falls below 0.3 times the previous one.',
        'Die Kennlinie ist bei %.1f %% ungültig: die Steigung fällt unter das 0,3-Fache der vorigen.'),
    'DownloadAfterConfigReset': ('The factory configuration is now in the data set. Download it to apply it '
                                 'to the device.',
                                 'Die Werkseinstellung steht jetzt im Datensatz. Laden Sie ihn herunter, um '
                                 'sie in das Gerät zu übernehmen.'),
    'ManualStopInfo': ('The valve is held at a manual stop. Select Released to return to positioning.',
                       'Das Ventil wird an einem manuellen Anschlag gehalten. Wählen Sie Freigegeben, um zur '
                       'Regelung zurückzukehren.'),
    'PressureCalibrationWarning': ('The actuator or supply pressure is not near zero. Vent them before you '
                                   'calibrate the pressure sensors.',
                                   'Antriebs- oder Zuluftdruck liegt nicht nahe null. Entlüften Sie vor der '
                                   'Kalibrierung der Drucksensoren.'),
    'MODE_NORMAL': ('Normal', 'Normal'),
    'MODE_MANUAL': ('Manual', 'Hand'),
    'MODE_OOS_SETUP': ('Setup (out of service)', 'Einrichtung (außer Betrieb)'),
    'MODE_OOS_LOWPOWER': ('Out of service: low power', 'Außer Betrieb: zu geringe Versorgung'),
    'MODE_OOS_FAILSAFE': ('Out of service: failsafe', 'Außer Betrieb: Sicherheitsstellung'),
    'MODE_OOS_FATAL': ('Out of service: fatal error', 'Außer Betrieb: schwerer Fehler'),
    'MODE_OOS_MARGINALPOWER': ('Out of service: marginal power', 'Außer Betrieb: grenzwertige Versorgung'),
    'MODE_OOS': ('Out of service', 'Außer Betrieb'),
    'unknown': ('Unknown', 'Unbekannt'),
    'TEXT_LEAVE_NORMAL': ('The device leaves normal mode and stops following the input signal. Continue?',
                          'Das Gerät verlässt die Betriebsart Normal und folgt nicht mehr dem Eingangssignal. '
                          'Fortfahren?'),
    'pv_rangeError': ('The upper and lower range values must differ by at least 5 percent.',
                      'Oberer und unterer Bereichswert müssen sich um mindestens 5 Prozent unterscheiden.'),
    'noPositionRetrasmitter': ('The device has no position retransmitter.',
                               'Das Gerät hat keinen Stellungsrückmelder.'),
    'SignalSetpointOutOffRange': ('As a signal, the setpoint must lie between 4 and 20 mA.',
                                  'Als Signal muss der Sollwert zwischen 4 und 20 mA liegen.'),
    'SignalCalInfo': ('Apply %s mA to the input, then press OK to calibrate this point.',
                      'Legen Sie %s mA an den Eingang an und drücken Sie dann OK, um diesen Punkt zu kalibrieren.'),
    'SignalCalError': ('The measured input signal lies outside the calibration window. Check the applied current.',
                       'Das gemessene Eingangssignal liegt außerhalb des Kalibrierfensters. Prüfen Sie den '
                       'angelegten Strom.'),
    'ResetComplete': ('The device has been reset.', 'Das Gerät wurde zurückgesetzt.'),
    'CalibrationCmdFinished': ('The calibration command has been completed.',
                               'Das Kalibrierkommando ist ausgeführt.'),

    # --- enumeration entries ----------------------------------------------------
    'Off': ('Off', 'Aus'),
    'On': ('On', 'Ein'),
    'Disabled': ('Disabled', 'Gesperrt'),
    'Enabled': ('Enabled', 'Freigegeben'),
    'ManufacturerVarnholt': ('Varnholt', 'Varnholt'),
    'DeviceTypeRavik': ('Ravik', 'Ravik'),
    'BurstCmd1': ('Command 1: primary variable', 'Kommando 1: Primärvariable'),
    'BurstCmd2': ('Command 2: current and percent of range', 'Kommando 2: Strom und Prozent des Bereichs'),
    'BurstCmd3': ('Command 3: dynamic variables and current', 'Kommando 3: dynamische Variablen und Strom'),
    'SetpointSignal': ('Signal', 'Signal'),
    'SetpointPosition': ('Position', 'Stellung'),
    'SetpointClose': ('Fully closed', 'Ganz geschlossen'),
    'SetpointOpen': ('Fully open', 'Ganz geöffnet'),
    'SwitchOpen': ('Open', 'Offen'),
    'SwitchClosed': ('Closed', 'Geschlossen'),
    'VariantBasic': ('Basic', 'Basis'),
    'VariantBasicSwitches': ('Basic with switches', 'Basis mit Schaltern'),
    'VariantAdvanced': ('Advanced', 'Erweitert'),
    'VariantAdvancedRetransmit': ('Advanced with retransmitter', 'Erweitert mit Rückmelder'),
    'VariantPro': ('Professional', 'Professionell'),
    'VariantProRetransmit': ('Professional with retransmitter', 'Professionell mit Rückmelder'),
    'VariantProPilot': ('Professional with pilot sensor', 'Professionell mit Vorsteuersensor'),
    'SingleActing': ('Single acting', 'Einfachwirkend'),
    'DoubleActing': ('Double acting', 'Doppeltwirkend'),
    'SensorInternal': ('Built-in', 'Eingebaut'),
    'SensorRemote': ('Remote', 'Abgesetzt'),
    'StatusNone': ('No further status', 'Kein weiterer Status'),
    'AirToClose': ('Air to close', 'Luft schließt'),
    'AirToOpen': ('Air to open', 'Luft öffnet'),
    'CharLinear': ('Linear', 'Linear'),
    'CharEqualPercent30': ('Equal percentage 1:30', 'Gleichprozentig 1:30'),
    'CharEqualPercent50': ('Equal percentage 1:50', 'Gleichprozentig 1:50'),
    'CharQuickOpen': ('Quick opening', 'Schnellöffnend'),
    'CharCustom': ('Custom', 'Frei'),
    'Unlocked': ('Unlocked', 'Nicht gesperrt'),
    'LockedSetup': ('Setup locked', 'Einrichtung gesperrt'),
    'LockedAll': ('All locked', 'Alles gesperrt'),
    '%': ('%', '%'),
    'psi': ('psi', 'psi'),
    'bar': ('bar', 'bar'),
    'kPa': ('kPa', 'kPa'),
    'mA': ('mA', 'mA'),
    'degC': ('°C', '°C'),
    's': ('s', 's'),
    'LangEnglish': ('English', 'Englisch'),
    'LangGerman': ('German', 'Deutsch'),
    'LangFrench': ('French', 'Französisch'),
    'LangSpanish': ('Spanish', 'Spanisch'),
    'LangItalian': ('Italian', 'Italienisch'),
    'FailsafeClose': ('Close the valve', 'Ventil schließen'),
    'FailsafeHold': ('Hold the position', 'Stellung halten'),
    'SwitchDisabled': ('Not used', 'Nicht benutzt'),
    'SwitchLowerPosition': ('Lower position', 'Untere Stellung'),
    'SwitchUpperPosition': ('Upper position', 'Obere Stellung'),
    'SwitchFault': ('Fault', 'Fehler'),
    'SwitchNotNormal': ('Not in normal mode', 'Nicht in Betriebsart Normal'),
    'NormallyOpen': ('Normally open', 'Schließer'),
    'NormallyClosed': ('Normally closed', 'Öffner'),
    'CalSignal': ('Input signal', 'Eingangssignal'),
    'CalPressure': ('Pressure sensors', 'Drucksensoren'),
    'CalLow': ('Low point', 'Unterer Punkt'),
    'CalHigh': ('High point', 'Oberer Punkt'),
    'ProcIdle': ('Idle', 'Bereit'),
    'ProcRunning': ('Running', 'Läuft'),
    'DiagRamp': ('Ramp', 'Rampe'),
    'DiagStep': ('Step', 'Sprung'),
    'FaultInactive': ('OK', 'OK'),
    'FaultActive': ('Active', 'Aktiv'),
    'FaultNotRecorded': ('Not recorded', 'Nicht aufgetreten'),
    'FaultRecorded': ('Recorded', 'Aufgetreten'),
}

# HART response codes as the device uses them, shown with retry and cancel.
RESPONSE_CODES = {
    1: ('Undefined error', 'Nicht definierter Fehler'),
    2: ('Invalid selection', 'Ungültige Auswahl'),
    3: ('Passed parameter too large', 'Übergebener Parameter zu groß'),
    4: ('Passed parameter too small', 'Übergebener Parameter zu klein'),
    5: ('Too few data bytes received', 'Zu wenige Datenbytes empfangen'),
    6: ('Device-specific command error', 'Gerätespezifischer Kommandofehler'),
    7: ('The device is write protected', 'Das Gerät ist schreibgeschützt'),
    8: ('Warning: the value was set to the nearest possible value',
         'Warnung: der Wert wurde auf den nächstmöglichen Wert gesetzt'),
    9: ('The lower range value is too high', 'Der untere Bereichswert ist zu hoch'),
    10: ('The lower range value is too low', 'Der untere Bereichswert ist zu niedrig'),
    11: ('The upper range value is too high', 'Der obere Bereichswert ist zu hoch'),
    12: ('The upper range value is too low', 'Der obere Bereichswert ist zu niedrig'),
    13: ('Both range values are out of limits', 'Beide Bereichswerte liegen außerhalb der Grenzen'),
    14: ('The span is too small', 'Die Spanne ist zu klein'),
    16: ('Access restricted', 'Zugriff eingeschränkt'),
    28: ('Invalid unit code', 'Ungültiger Einheitencode'),
    32: ('The device is busy', 'Das Gerät ist beschäftigt'),
    33: ('Delayed response initiated', 'Verzögerte Antwort eingeleitet'),
    34: ('Delayed response running', 'Verzögerte Antwort läuft'),
    35: ('Delayed response dead', 'Verzögerte Antwort abgebrochen'),
    36: ('Delayed response conflict', 'Konflikt bei verzögerter Antwort'),
    64: ('Command not implemented', 'Kommando nicht implementiert'),
}
for _code, (_en, _de) in RESPONSE_CODES.items():
    TEXTS['CMDResponse%d' % _code] = ('HART response code %d: %s.\\nRetry the command?' % (_code, _en),
                                      'HART-Antwortcode %d: %s.\\nKommando wiederholen?' % (_code, _de))
