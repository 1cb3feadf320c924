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
</context>
</TS>
