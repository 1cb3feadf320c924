<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>QObject</name>
    <message>
        <source>Pinlet</source>
        <translation>Pinlet</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Ansicht</translation>
    </message>
    <message>
        <source>Bigger Text</source>
        <translation>Größere Schrift</translation>
    </message>
    <message>
        <source>Smaller Text</source>
        <translation>Kleinere Schrift</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Originalgröße</translation>
    </message>
    <message>
        <source>Quit Pinlet</source>
        <translation>Pinlet beenden</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>A scratch note in a floating panel that a keyboard shortcut shows from anywhere.</source>
        <translation>Ein Notizzettel in einem schwebenden Fenster, das ein Tastenkürzel von überall her einblendet.</translation>
    </message>
    <message>
        <source>Show the note panel, or hide it where it shows; starts Pinlet where none runs. Bind this in the desktop&apos;s keyboard settings.</source>
        <translation>Blendet die Notiz ein oder, wenn sie zu sehen ist, aus; startet Pinlet, wenn es nicht läuft. Legen Sie dafür ein Kürzel in den Tastatureinstellungen der Arbeitsumgebung an.</translation>
    </message>
    <message>
        <source>Show the note panel and give it the keyboard; starts Pinlet where none runs.</source>
        <translation>Blendet die Notiz ein und gibt ihr die Tastatur; startet Pinlet, wenn es nicht läuft.</translation>
    </message>
    <message>
        <source>Hide the note panel.</source>
        <translation>Blendet die Notiz aus.</translation>
    </message>
    <message>
        <source>Pinlet is running, but %1.</source>
        <translation>Pinlet läuft, aber %1.</translation>
    </message>
    <message>
        <source>Pinlet is already running (lock held on %1).</source>
        <translation>Pinlet läuft bereits (Sperre auf %1).</translation>
    </message>
    <message>
        <source>Pinlet could not take its lock %1: %2.</source>
        <translation>Pinlet konnte seine Sperre %1 nicht setzen: %2.</translation>
    </message>
    <message>
        <source>Pinlet takes no requests from the command line: %1</source>
        <translation>Pinlet nimmt keine Aufträge von der Kommandozeile an: %1</translation>
    </message>
    <message>
        <source>Pinlet is not running: there is no panel to hide.</source>
        <translation>Pinlet läuft nicht: Es gibt keine Notiz zum Ausblenden.</translation>
    </message>
    <message>
        <source>Open the Pinlet window with the shortcut and the other settings; starts Pinlet where none runs.</source>
        <translation>Öffnet das Pinlet-Fenster mit dem Tastenkürzel und den anderen Einstellungen; startet Pinlet, wo es nicht läuft.</translation>
    </message>
    <message>
        <source>Pinlet: give one of --toggle, --show, --hide and --settings.</source>
        <translation>Pinlet: Geben Sie nur eine der Optionen --toggle, --show, --hide und --settings an.</translation>
    </message>
</context>
<context>
    <name>pinlet::MenuBarContent</name>
    <message>
        <source>Shortcut:</source>
        <translation>Tastenkürzel:</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Pinlet menu</source>
        <translation>Pinlet-Menü</translation>
    </message>
    <message>
        <source>Hide Note</source>
        <translation>Notiz ausblenden</translation>
    </message>
    <message>
        <source>Show Note</source>
        <translation>Notiz einblenden</translation>
    </message>
</context>
<context>
    <name>pinlet::MenuBarExtra</name>
    <message>
        <source>Pinlet</source>
        <translation>Pinlet</translation>
    </message>
    <message>
        <source>Pinlet: this desktop has no system tray; opening the Pinlet menu window instead.</source>
        <translation>Pinlet: Diese Arbeitsumgebung hat keinen Systemabschnitt in der Kontrollleiste; stattdessen öffnet sich das Pinlet-Menü als Fenster.</translation>
    </message>
    <message>
        <source>Pinlet keeps running when this window is closed: the shortcut shows the note, and Pinlet in the applications menu brings this window back.</source>
        <translation>Pinlet läuft weiter, wenn dieses Fenster geschlossen wird: Das Tastenkürzel blendet die Notiz ein, und Pinlet im Anwendungsmenü holt dieses Fenster zurück.</translation>
    </message>
</context>
<context>
    <name>pinlet::NotePanel</name>
    <message>
        <source>Pinlet</source>
        <translation>Pinlet</translation>
    </message>
</context>
<context>
    <name>pinlet::NoteView</name>
    <message>
        <source>Copy all</source>
        <translation>Alles kopieren</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Kopiert</translation>
    </message>
</context>
<context>
    <name>pinlet::ToggleHotKeys</name>
    <message>
        <source>Show or hide the Pinlet note</source>
        <translation>Die Pinlet-Notiz ein- oder ausblenden</translation>
    </message>
    <message>
        <source>This shortcut is kept in GNOME&apos;s Settings › Keyboard › Custom Shortcuts.</source>
        <translation>Dieses Tastenkürzel steht in GNOMEs Einstellungen › Tastatur › Eigene Tastenkombinationen.</translation>
    </message>
    <message>
        <source>Pinlet cannot keep its shortcut in GNOME&apos;s settings: %1.</source>
        <translation>Pinlet kann sein Tastenkürzel nicht in GNOMEs Einstellungen ablegen: %1.</translation>
    </message>
    <message>
        <source>This desktop offers no global shortcuts to applications: bind &quot;pinlet --toggle&quot; in its keyboard settings to show and hide the note.</source>
        <translation>Diese Arbeitsumgebung bietet Programmen keine globalen Tastenkürzel an: Legen Sie in ihren Tastatureinstellungen ein Kürzel für „pinlet --toggle“ an, um die Notiz ein- und auszublenden.</translation>
    </message>
    <message>
        <source>Pinlet: show or hide the note</source>
        <translation>Pinlet: Notiz ein- oder ausblenden</translation>
    </message>
</context>
</TS>
