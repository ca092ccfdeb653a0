<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>QObject</name>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>Can&apos;t find Mirravelnock!</source>
        <translation>Mirravelnock! wurde nicht gefunden!</translation>
    </message>
    <message>
        <source>mirravelnock: can&apos;t tell whether another copy runs: %1</source>
        <translation>mirravelnock: es lässt sich nicht feststellen, ob eine andere Kopie läuft: %1</translation>
    </message>
</context>
<context>
    <name>mv::browser</name>
    <message>
        <source>File System</source>
        <translation>Dateisystem</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Persönlicher Ordner</translation>
    </message>
    <message>
        <source>%1 : Width = %2 : Height = %3 : Colors = %4 bits : Checksum = %5 : File Size = %6</source>
        <translation>%1 : Breite = %2 : Höhe = %3 : Farben = %4 Bit : Prüfsumme = %5 : Dateigröße = %6</translation>
    </message>
    <message>
        <source>(Encrypted) %1</source>
        <translation>(Verschlüsselt) %1</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>All Supported Files</source>
        <translation>Alle Bilddateien</translation>
    </message>
    <message>
        <source>Amiga (*.IFF)</source>
        <translation>Amiga (*.IFF)</translation>
    </message>
    <message>
        <source>Amiga (*.LBM)</source>
        <translation>Amiga (*.LBM)</translation>
    </message>
    <message>
        <source>CompuServe (*.GIF)</source>
        <translation>CompuServe (*.GIF)</translation>
    </message>
    <message>
        <source>CompuServe (*.PNG)</source>
        <translation>CompuServe (*.PNG)</translation>
    </message>
    <message>
        <source>Dig. Research (*.GEM)</source>
        <translation>Dig. Research (*.GEM)</translation>
    </message>
    <message>
        <source>Dig. Research (*.IMG)</source>
        <translation>Dig. Research (*.IMG)</translation>
    </message>
    <message>
        <source>Dr. Halo (*.CUT)</source>
        <translation>Dr. Halo (*.CUT)</translation>
    </message>
    <message>
        <source>JPEG (*.JPG)</source>
        <translation>JPEG (*.JPG)</translation>
    </message>
    <message>
        <source>Mac Paint (*.MAC)</source>
        <translation>Mac Paint (*.MAC)</translation>
    </message>
    <message>
        <source>MS Paint (*.MSP)</source>
        <translation>MS Paint (*.MSP)</translation>
    </message>
    <message>
        <source>PFS (*.ART)</source>
        <translation>PFS (*.ART)</translation>
    </message>
    <message>
        <source>Pictor (*.PIC)</source>
        <translation>Pictor (*.PIC)</translation>
    </message>
    <message>
        <source>Slow Scan TV (*.HRZ)</source>
        <translation>Slow Scan TV (*.HRZ)</translation>
    </message>
    <message>
        <source>Sun Raster (*.RAS)</source>
        <translation>Sun Raster (*.RAS)</translation>
    </message>
    <message>
        <source>Targa (*.TGA)</source>
        <translation>Targa (*.TGA)</translation>
    </message>
    <message>
        <source>TIFF (*.TIF)</source>
        <translation>TIFF (*.TIF)</translation>
    </message>
    <message>
        <source>Windows &amp; OS2 (*.BMP)</source>
        <translation>Windows &amp; OS2 (*.BMP)</translation>
    </message>
    <message>
        <source>Windows (*.DIB)</source>
        <translation>Windows (*.DIB)</translation>
    </message>
    <message>
        <source>Windows (*.EMF)</source>
        <translation>Windows (*.EMF)</translation>
    </message>
    <message>
        <source>Windows (*.RLE)</source>
        <translation>Windows (*.RLE)</translation>
    </message>
    <message>
        <source>Windows (*.WMF)</source>
        <translation>Windows (*.WMF)</translation>
    </message>
    <message>
        <source>Word Perfect (*.WPG)</source>
        <translation>Word Perfect (*.WPG)</translation>
    </message>
    <message>
        <source>ZSoft (*.PCX)</source>
        <translation>ZSoft (*.PCX)</translation>
    </message>
</context>
<context>
    <name>mv::browser::BrowserPane</name>
    <message>
        <source>Drives</source>
        <translation>Laufwerke</translation>
    </message>
    <message>
        <source>Folder path</source>
        <translation>Ordnerpfad</translation>
    </message>
    <message>
        <source>Type a folder (Ctrl+L)</source>
        <translation>Ordner eingeben (Strg+L)</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>File types</source>
        <translation>Dateitypen</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>The folder %1 can&apos;t be opened.</source>
        <translation>Der Ordner %1 kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>There is no folder %1.</source>
        <translation>Es gibt keinen Ordner %1.</translation>
    </message>
</context>
<context>
    <name>mv::browser::LeftoverOffer</name>
    <message>
        <source>%1 could not be wiped: %2</source>
        <translation>%1 konnte nicht sicher gelöscht werden: %2</translation>
    </message>
    <message>
        <source>a thumbnail of %1 could not be wiped: %2</source>
        <translation>ein Vorschaubild von %1 konnte nicht sicher gelöscht werden: %2</translation>
    </message>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message numerus="yes">
        <source>This folder holds %n temporary file(s) left by an interrupted run, which may hold private data</source>
        <translation>
            <numerusform>Dieser Ordner enthält %n temporäre Datei, die ein abgebrochener Lauf hinterlassen hat und die private Daten enthalten kann</numerusform>
            <numerusform>Dieser Ordner enthält %n temporäre Dateien, die ein abgebrochener Lauf hinterlassen hat und die private Daten enthalten können</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Wiped %n left-over temporary file(s)</source>
        <translation>
            <numerusform>%n zurückgebliebene temporäre Datei sicher gelöscht</numerusform>
            <numerusform>%n zurückgebliebene temporäre Dateien sicher gelöscht</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>mv::browser::TypeFilterBox</name>
    <message>
        <source>File types</source>
        <translation>Dateitypen</translation>
    </message>
</context>
<context>
    <name>mv::cli</name>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation>unbekannter Befehl &apos;%1&apos;</translation>
    </message>
    <message>
        <source>an empty path was given</source>
        <translation>ein leerer Pfad wurde angegeben</translation>
    </message>
    <message>
        <source>--key-file needs a file name</source>
        <translation>--key-file braucht einen Dateinamen</translation>
    </message>
    <message>
        <source>a key is never taken from the command line, where other users can read it; use --key-file FILE or type it when asked</source>
        <translation>ein Schlüssel wird nie von der Befehlszeile genommen, wo andere Benutzer ihn lesen können; verwenden Sie --key-file DATEI oder geben Sie ihn ein, wenn Sie gefragt werden</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>unbekannte Option &apos;%1&apos;</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>kein Befehl angegeben</translation>
    </message>
    <message>
        <source>no files given</source>
        <translation>keine Dateien angegeben</translation>
    </message>
    <message>
        <source>-r works with encrypt and decrypt only</source>
        <translation>-r gilt nur für encrypt und decrypt</translation>
    </message>
    <message>
        <source>--key-file works with encrypt and decrypt only</source>
        <translation>--key-file gilt nur für encrypt und decrypt</translation>
    </message>
    <message>
        <source>--replace works with encrypt and decrypt only</source>
        <translation>--replace gilt nur für encrypt und decrypt</translation>
    </message>
    <message>
        <source>Usage: mvcrypt COMMAND [OPTIONS] PATH...
Encrypts, decrypts, checksums and wipes files the way Mirravelnock does, so files move
freely between the two.

Commands:
  encrypt PATH...   encrypt each file into its encrypted name (photo.jpg becomes
                    photo_jpg.mv$, readme becomes readme.mv%); the plain file and the
                    desktop&apos;s thumbnails of it are wiped
  decrypt PATH...   decrypt each encrypted file back to its plain name; the encrypted
                    file is wiped
  checksum FILE...  print the CRC-32 of each file (the checksum of zip and PNG)
  wipe FILE...      overwrite each file with zeros, rename, truncate and delete it, and
                    wipe the desktop&apos;s thumbnails of it

Options:
  -r, --recursive   encrypt or decrypt whole folders: each folder&apos;s files first, then
                    its sub-folders
  --key-file FILE   the key is the whole of FILE less one line break at its end
                    (\n or \r\n); without it the key is asked on the terminal,
                    twice when encrypting. The key file itself is never encrypted
  --replace         replace a different file already under the target name (for
                    example file_my_ext.mv$ made from file_my.ext); without it such
                    a file is left as it is and the file in hand fails
  -v, --verbose     name every file done on standard output
  -h, --help        show this help

Exit status is 0 only when every file succeeded; a file already in the wanted state, or
in use by another run, is passed over and does not count as a failure. Ctrl+C (or
SIGTERM, SIGHUP) finishes or cleans up the file in hand and exits with status 130.
Temporary files of a run that was killed (.mv-*.tmp, $MV*.TMP) are never encrypted or
decrypted; they are named, with the command that wipes them. See the README for the
limits of wiping.
</source>
        <translation>Aufruf: mvcrypt BEFEHL [OPTIONEN] PFAD...
Verschlüsselt, entschlüsselt, prüfsummiert und löscht Dateien sicher wie Mirravelnock,
sodass Dateien frei zwischen beiden wechseln.

Befehle:
  encrypt PFAD...   jede Datei in ihren verschlüsselten Namen verschlüsseln (photo.jpg
                    wird photo_jpg.mv$, readme wird readme.mv%); die unverschlüsselte
                    Datei und ihre Vorschaubilder der Arbeitsumgebung werden sicher
                    gelöscht
  decrypt PFAD...   jede verschlüsselte Datei in ihren unverschlüsselten Namen
                    entschlüsseln; die verschlüsselte Datei wird sicher gelöscht
  checksum DATEI... die CRC-32 jeder Datei ausgeben (die Prüfsumme von zip und PNG)
  wipe DATEI...     jede Datei mit Nullen überschreiben, umbenennen, kürzen und
                    löschen, und ihre Vorschaubilder der Arbeitsumgebung sicher löschen

Optionen:
  -r, --recursive   ganze Ordner ver- oder entschlüsseln: erst die Dateien jedes
                    Ordners, dann seine Unterordner
  --key-file DATEI  der Schlüssel ist die ganze DATEI ohne einen Zeilenumbruch an ihrem
                    Ende (\n oder \r\n); ohne diese Option wird der Schlüssel am
                    Terminal erfragt, beim Verschlüsseln zweimal. Die Schlüsseldatei
                    selbst wird nie verschlüsselt
  --replace         eine andere Datei ersetzen, die schon unter dem Zielnamen liegt
                    (etwa file_my_ext.mv$, aus file_my.ext gemacht); ohne diese Option
                    bleibt eine solche Datei unverändert und die Datei in Arbeit schlägt
                    fehl
  -v, --verbose     jede erledigte Datei auf der Standardausgabe nennen
  -h, --help        diese Hilfe zeigen

Der Rückgabewert ist nur 0, wenn jede Datei gelungen ist; eine Datei, die schon im
gewünschten Zustand ist oder von einem anderen Lauf verwendet wird, wird übergangen und
zählt nicht als Fehler. Strg+C (oder SIGTERM, SIGHUP) stellt die Datei in Arbeit fertig
oder räumt sie auf und endet mit dem Rückgabewert 130.
Temporäre Dateien eines abgebrochenen Laufs (.mv-*.tmp, $MV*.TMP) werden nie ver- oder
entschlüsselt; sie werden genannt, mit dem Befehl, der sie sicher löscht. Die Grenzen
des sicheren Löschens beschreibt die README.
</translation>
    </message>
    <message>
        <source>mvcrypt: %1: %2</source>
        <translation>mvcrypt: %1: %2</translation>
    </message>
    <message>
        <source>mvcrypt: %1: the name is not valid UTF-8 text, so it is left as it is; rename it to work on it</source>
        <translation>mvcrypt: %1: der Name ist kein gültiger UTF-8-Text und bleibt daher unverändert; benennen Sie die Datei um, um sie zu bearbeiten</translation>
    </message>
    <message>
        <source>a thumbnail of it could not be wiped: %1</source>
        <translation>ein Vorschaubild davon konnte nicht sicher gelöscht werden: %1</translation>
    </message>
    <message>
        <source>mvcrypt: stopped; the file in hand was finished or left as it was</source>
        <translation>mvcrypt: angehalten; die Datei in Arbeit wurde fertiggestellt oder unverändert gelassen</translation>
    </message>
    <message>
        <source>is a folder; use -r to work through it</source>
        <translation>ist ein Ordner; verwenden Sie -r, um ihn zu durchlaufen</translation>
    </message>
    <message>
        <source>cannot list this folder: %1</source>
        <translation>dieser Ordner kann nicht aufgelistet werden: %1</translation>
    </message>
    <message>
        <source>is the key file; it is left as it is, or the key would be locked inside</source>
        <translation>ist die Schlüsseldatei; sie bleibt unverändert, sonst wäre der Schlüssel in ihr eingeschlossen</translation>
    </message>
    <message>
        <source>the key file is left as it is</source>
        <translation>die Schlüsseldatei bleibt unverändert</translation>
    </message>
    <message>
        <source>symbolic link, not followed</source>
        <translation>symbolische Verknüpfung, nicht verfolgt</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <source>in use by another run</source>
        <translation>wird von einem anderen Lauf verwendet</translation>
    </message>
    <message>
        <source>mvcrypt: %1: left over from an interrupted run and may hold private data; it is not %2. Remove it safely with: mvcrypt wipe &apos;%3&apos;</source>
        <translation>mvcrypt: %1: von einem abgebrochenen Lauf zurückgeblieben, kann private Daten enthalten; sie wird nicht %2. Sicher entfernen mit: mvcrypt wipe &apos;%3&apos;</translation>
    </message>
    <message>
        <source>encrypted</source>
        <translation>verschlüsselt</translation>
    </message>
    <message>
        <source>decrypted</source>
        <translation>entschlüsselt</translation>
    </message>
    <message>
        <source>%1 %2 -&gt; %3</source>
        <translation>%1 %2 -&gt; %3</translation>
    </message>
    <message>
        <source>not an encrypted file</source>
        <translation>keine verschlüsselte Datei</translation>
    </message>
    <message>
        <source>; use --replace to replace it</source>
        <translation>; verwenden Sie --replace, um sie zu ersetzen</translation>
    </message>
    <message>
        <source>mvcrypt: %1: passed over, %2</source>
        <translation>mvcrypt: %1: übergangen, %2</translation>
    </message>
    <message>
        <source>is a folder</source>
        <translation>ist ein Ordner</translation>
    </message>
    <message>
        <source>%1  %2</source>
        <translation>%1  %2</translation>
    </message>
    <message>
        <source>wiped %1</source>
        <translation>%1 sicher gelöscht</translation>
    </message>
    <message>
        <source>the key is empty</source>
        <translation>der Schlüssel ist leer</translation>
    </message>
    <message>
        <source>the key contains a NUL character</source>
        <translation>der Schlüssel enthält ein NUL-Zeichen</translation>
    </message>
    <message>
        <source>the key is longer than %1 characters</source>
        <translation>der Schlüssel ist länger als %1 Zeichen</translation>
    </message>
    <message>
        <source>a new key needs at least %1 characters</source>
        <translation>ein neuer Schlüssel braucht mindestens %1 Zeichen</translation>
    </message>
    <message>
        <source>%1: cannot read the key file: %2</source>
        <translation>%1: die Schlüsseldatei kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>no terminal to ask the key on; use --key-file FILE</source>
        <translation>kein Terminal, um nach dem Schlüssel zu fragen; verwenden Sie --key-file DATEI</translation>
    </message>
    <message>
        <source>no key typed</source>
        <translation>kein Schlüssel eingegeben</translation>
    </message>
    <message>
        <source>the two keys differ</source>
        <translation>die beiden Schlüssel unterscheiden sich</translation>
    </message>
    <message>
        <source>mvcrypt: %1
Try &apos;mvcrypt --help&apos;.
</source>
        <translation>mvcrypt: %1
Siehe &apos;mvcrypt --help&apos;.
</translation>
    </message>
</context>
<context>
    <name>mv::crypto</name>
    <message>
        <source>no key was given; nothing was encrypted</source>
        <translation>kein Schlüssel angegeben; nichts wurde verschlüsselt</translation>
    </message>
    <message>
        <source>left over from an interrupted run; could not be wiped: %1</source>
        <translation>von einem abgebrochenen Lauf zurückgeblieben; konnte nicht sicher gelöscht werden: %1</translation>
    </message>
    <message>
        <source>no longer there; it went away after the folder was listed</source>
        <translation>nicht mehr vorhanden; die Datei verschwand, nachdem der Ordner aufgelistet wurde</translation>
    </message>
    <message>
        <source>can no longer be read: %1</source>
        <translation>kann nicht mehr gelesen werden: %1</translation>
    </message>
    <message>
        <source>a thumbnail of the plain file could not be wiped: %1</source>
        <translation>ein Vorschaubild der unverschlüsselten Datei konnte nicht sicher gelöscht werden: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n name(s) here are not valid text and were passed over</source>
        <translation>
            <numerusform>%n Name hier ist kein gültiger Text und wurde übergangen</numerusform>
            <numerusform>%n Namen hier sind kein gültiger Text und wurden übergangen</numerusform>
        </translation>
    </message>
    <message>
        <source>no longer in the folder</source>
        <translation>nicht mehr im Ordner</translation>
    </message>
    <message>
        <source>a link to a folder; links are not followed</source>
        <translation>eine Verknüpfung auf einen Ordner; Verknüpfungen werden nicht verfolgt</translation>
    </message>
    <message>
        <source>its sub-folders go deeper than the system&apos;s path limit; the files in them were not touched (%1)</source>
        <translation>seine Unterordner reichen tiefer als die Pfadgrenze des Systems; die Dateien darin wurden nicht angerührt (%1)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... und %n weitere.</numerusform>
            <numerusform>... und %n weitere.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) already encrypted and were skiped.</source>
        <translation>
            <numerusform>%n Datei war bereits verschlüsselt und wurde übersprungen.</numerusform>
            <numerusform>%n Dateien waren bereits verschlüsselt und wurden übersprungen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) already decrypted and were skiped.</source>
        <translation>
            <numerusform>%n Datei war bereits entschlüsselt und wurde übersprungen.</numerusform>
            <numerusform>%n Dateien waren bereits entschlüsselt und wurden übersprungen.</numerusform>
        </translation>
    </message>
    <message>
        <source>These files could not be encrypted:</source>
        <translation>Diese Dateien konnten nicht verschlüsselt werden:</translation>
    </message>
    <message>
        <source>These files could not be decrypted:</source>
        <translation>Diese Dateien konnten nicht entschlüsselt werden:</translation>
    </message>
    <message>
        <source>These were passed over:</source>
        <translation>Diese wurden übergangen:</translation>
    </message>
    <message>
        <source>encrypt</source>
        <translation>verschlüsseln</translation>
    </message>
    <message>
        <source>decrypt</source>
        <translation>entschlüsseln</translation>
    </message>
    <message>
        <source>%1 exists; it is left as it is</source>
        <translation>%1 existiert; die Datei bleibt unverändert</translation>
    </message>
    <message>
        <source>in use by another run</source>
        <translation>wird von einem anderen Lauf verwendet</translation>
    </message>
    <message>
        <source>changed while being encrypted: %1</source>
        <translation>während des Verschlüsselns geändert: %1</translation>
    </message>
    <message>
        <source>changed while being decrypted: %1</source>
        <translation>während des Entschlüsselns geändert: %1</translation>
    </message>
    <message>
        <source> (left behind: %1)</source>
        <translation> (zurückgeblieben: %1)</translation>
    </message>
    <message>
        <source> (%1 is complete; the old file may remain)</source>
        <translation> (%1 ist vollständig; die alte Datei kann bestehen bleiben)</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>keine solche Datei</translation>
    </message>
    <message>
        <source>is a symbolic link; links are not followed</source>
        <translation>ist eine symbolische Verknüpfung; Verknüpfungen werden nicht verfolgt</translation>
    </message>
    <message>
        <source>is a folder</source>
        <translation>ist ein Ordner</translation>
    </message>
    <message>
        <source>is not a regular file</source>
        <translation>ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>already encrypted</source>
        <translation>bereits verschlüsselt</translation>
    </message>
    <message>
        <source>cannot read: %1</source>
        <translation>nicht lesbar: %1</translation>
    </message>
    <message>
        <source>not encrypted</source>
        <translation>nicht verschlüsselt</translation>
    </message>
    <message>
        <source>the key does not open this file</source>
        <translation>der Schlüssel öffnet diese Datei nicht</translation>
    </message>
    <message>
        <source>none of the keys opens this file</source>
        <translation>keiner der Schlüssel öffnet diese Datei</translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>und %n weitere</numerusform>
            <numerusform>und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>An earlier run was interrupted and left these temporary files, which may hold private data:
%1

Wipe them now?</source>
        <translation>Ein früherer Lauf wurde abgebrochen und hat diese temporären Dateien hinterlassen, die private Daten enthalten können:
%1

Jetzt sicher löschen?</translation>
    </message>
    <message>
        <source>\x%1</source>
        <translation>\x%1</translation>
    </message>
</context>
<context>
    <name>mv::crypto::AskKey</name>
    <message>
        <source>&amp;Decrypt</source>
        <translation>&amp;Entschlüsseln</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
    <message>
        <source>Mirravelnock! - Enter Key</source>
        <translation>Mirravelnock! - Schlüssel eingeben</translation>
    </message>
    <message>
        <source>Enter decryption &amp;key for the file</source>
        <translation>&amp;Schlüssel zum Entschlüsseln der Datei eingeben</translation>
    </message>
</context>
<context>
    <name>mv::crypto::BatchDialog</name>
    <message>
        <source>&amp;Begin</source>
        <translation>&amp;Beginnen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
</context>
<context>
    <name>mv::crypto::Confirm</name>
    <message>
        <source>&amp;Accept</source>
        <translation>&amp;Bestätigen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
    <message>
        <source>Mirravelnock! - Confirm key</source>
        <translation>Mirravelnock! - Schlüssel bestätigen</translation>
    </message>
    <message>
        <source>Confirm encryption &amp;key :</source>
        <translation>&amp;Schlüssel zum Verschlüsseln bestätigen:</translation>
    </message>
</context>
<context>
    <name>mv::crypto::Decrypt</name>
    <message>
        <source>Mirravelnock! - Decrypt</source>
        <translation>Mirravelnock! - Entschlüsseln</translation>
    </message>
    <message>
        <source>Select the action to be taken for the decryption.</source>
        <translation>Wählen Sie, was entschlüsselt werden soll.</translation>
    </message>
    <message>
        <source>Decrypt &amp;selected files only</source>
        <translation>Nur a&amp;usgewählte Dateien entschlüsseln</translation>
    </message>
    <message>
        <source>Decrypt &amp;all displayed files in directory</source>
        <translation>&amp;Alle angezeigten Dateien im Verzeichnis entschlüsseln</translation>
    </message>
</context>
<context>
    <name>mv::crypto::EncDecProcess</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Mirravelnock! - Encryption/Decryption Process</source>
        <translation>Mirravelnock! - Verschlüsselung/Entschlüsselung</translation>
    </message>
    <message>
        <source>Mirravelnock! is currently Encrypting files...</source>
        <translation>Mirravelnock! verschlüsselt gerade Dateien...</translation>
    </message>
    <message>
        <source>Mirravelnock! is currently Decrypting files...</source>
        <translation>Mirravelnock! entschlüsselt gerade Dateien...</translation>
    </message>
    <message>
        <source>Cancel the current opperation?</source>
        <translation>Den laufenden Vorgang abbrechen?</translation>
    </message>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>%1 of %2 files</source>
        <translation>%1 von %2 Dateien</translation>
    </message>
    <message>
        <source>%1 already exists.
Working on %2 would replace it.</source>
        <translation>%1 existiert bereits.
Die Bearbeitung von %2 würde sie ersetzen.</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Replace all</source>
        <translation>Alle ersetzen</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
</context>
<context>
    <name>mv::crypto::Encrypt</name>
    <message>
        <source>Mirravelnock! - Encrypt</source>
        <translation>Mirravelnock! - Verschlüsseln</translation>
    </message>
    <message>
        <source>Select the action to be taken for the encryption.</source>
        <translation>Wählen Sie, was verschlüsselt werden soll.</translation>
    </message>
    <message>
        <source>Encrypt &amp;selected files only</source>
        <translation>Nur a&amp;usgewählte Dateien verschlüsseln</translation>
    </message>
    <message>
        <source>Encrypt &amp;all displayed files in directory</source>
        <translation>&amp;Alle angezeigten Dateien im Verzeichnis verschlüsseln</translation>
    </message>
    <message>
        <source>Enter encryption &amp;key to use</source>
        <translation>&amp;Schlüssel zum Verschlüsseln eingeben</translation>
    </message>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>The key you entered is not the same.</source>
        <translation>Der eingegebene Schlüssel stimmt nicht überein.</translation>
    </message>
</context>
<context>
    <name>mv::crypto::ScopeBox</name>
    <message>
        <source>&amp;Include sub-directories (folders)</source>
        <translation>Unter&amp;verzeichnisse (Ordner) einbeziehen</translation>
    </message>
</context>
<context>
    <name>mv::fileio</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>left behind: %1</source>
        <translation>zurückgeblieben: %1</translation>
    </message>
    <message>
        <source>create temporary file</source>
        <translation>temporäre Datei anlegen</translation>
    </message>
    <message>
        <source>flush new file</source>
        <translation>neue Datei auf die Platte schreiben</translation>
    </message>
    <message>
        <source>put in place</source>
        <translation>an ihren Platz setzen</translation>
    </message>
    <message>
        <source>flush folder</source>
        <translation>Ordner auf die Platte schreiben</translation>
    </message>
    <message>
        <source>open the file being replaced</source>
        <translation>die zu ersetzende Datei öffnen</translation>
    </message>
    <message>
        <source>clear the replaced file</source>
        <translation>die ersetzte Datei leeren</translation>
    </message>
    <message>
        <source>the file changed meanwhile</source>
        <translation>die Datei hat sich inzwischen geändert</translation>
    </message>
    <message>
        <source>write zeros</source>
        <translation>mit Nullen überschreiben</translation>
    </message>
    <message>
        <source>the file is already encrypted</source>
        <translation>die Datei ist bereits verschlüsselt</translation>
    </message>
    <message>
        <source>the key does not open this file</source>
        <translation>der Schlüssel öffnet diese Datei nicht</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>cannot derive the key: out of memory</source>
        <translation>der Schlüssel kann nicht abgeleitet werden: kein Speicher mehr</translation>
    </message>
    <message>
        <source>cannot write the destination: it has other hard links</source>
        <translation>das Ziel kann nicht geschrieben werden: es hat weitere harte Verknüpfungen</translation>
    </message>
    <message>
        <source>cannot write the destination: it is a symbolic link</source>
        <translation>das Ziel kann nicht geschrieben werden: es ist eine symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>cannot write the destination: it is not empty</source>
        <translation>das Ziel kann nicht geschrieben werden: es ist nicht leer</translation>
    </message>
    <message>
        <source>cannot write the destination: not a regular file</source>
        <translation>das Ziel kann nicht geschrieben werden: keine reguläre Datei</translation>
    </message>
    <message>
        <source>key derivation parameters out of bounds</source>
        <translation>Parameter der Schlüsselableitung außerhalb der Grenzen</translation>
    </message>
    <message>
        <source>no file given</source>
        <translation>keine Datei angegeben</translation>
    </message>
    <message>
        <source>no key given</source>
        <translation>kein Schlüssel angegeben</translation>
    </message>
    <message>
        <source>no result given</source>
        <translation>kein Ergebnis angegeben</translation>
    </message>
    <message>
        <source>not an encrypted file</source>
        <translation>keine verschlüsselte Datei</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>kein Speicher mehr</translation>
    </message>
    <message>
        <source>the cryptography library cannot start</source>
        <translation>die Kryptografie-Bibliothek kann nicht starten</translation>
    </message>
    <message>
        <source>the destination is the source file</source>
        <translation>das Ziel ist die Quelldatei</translation>
    </message>
    <message>
        <source>the file changed while being read</source>
        <translation>die Datei hat sich beim Lesen geändert</translation>
    </message>
    <message>
        <source>unexpected internal error</source>
        <translation>unerwarteter interner Fehler</translation>
    </message>
    <message>
        <source>unsupported format version</source>
        <translation>nicht unterstützte Formatversion</translation>
    </message>
    <message>
        <source>unsupported key derivation algorithm</source>
        <translation>nicht unterstütztes Verfahren der Schlüsselableitung</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>die Datei kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>cannot read the source</source>
        <translation>die Quelle kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the decrypted file is larger than the room given for it</source>
        <translation>die entschlüsselte Datei ist größer als der für sie vorgesehene Platz</translation>
    </message>
    <message>
        <source>the file is damaged or truncated</source>
        <translation>die Datei ist beschädigt oder abgeschnitten</translation>
    </message>
    <message>
        <source>run decoder</source>
        <translation>Decoder ausführen</translation>
    </message>
    <message>
        <source>lock down decoder</source>
        <translation>Decoder abschotten</translation>
    </message>
    <message>
        <source>decrypt into memory</source>
        <translation>in den Speicher entschlüsseln</translation>
    </message>
    <message>
        <source>check the key</source>
        <translation>Schlüssel prüfen</translation>
    </message>
    <message>
        <source>read file</source>
        <translation>Datei lesen</translation>
    </message>
    <message>
        <source>decode picture</source>
        <translation>Bild dekodieren</translation>
    </message>
    <message>
        <source>copy picture</source>
        <translation>Bild kopieren</translation>
    </message>
    <message>
        <source>cannot write the destination</source>
        <translation>das Ziel kann nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>mv::fileutil</name>
    <message>
        <source>%1 did not finish: %2</source>
        <translation>%1 wurde nicht fertig: %2</translation>
    </message>
    <message>
        <source>%1 ended with code %2</source>
        <translation>%1 endete mit Code %2</translation>
    </message>
    <message>
        <source>move to the trash</source>
        <translation>in den Papierkorb verschieben</translation>
    </message>
    <message>
        <source>the folder %1 for the trash can&apos;t be made: %2</source>
        <translation>der Ordner %1 für den Papierkorb kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>the trash folder %1 is not a folder</source>
        <translation>der Papierkorb-Ordner %1 ist kein Ordner</translation>
    </message>
    <message>
        <source>the desktop&apos;s data folder is not a full path</source>
        <translation>der Datenordner der Arbeitsumgebung ist kein vollständiger Pfad</translation>
    </message>
    <message>
        <source>the disk it is on (%1) has no trash that can be used here; the file was left where it was</source>
        <translation>das Laufwerk, auf dem sie liegt (%1), hat keinen hier nutzbaren Papierkorb; die Datei blieb, wo sie war</translation>
    </message>
    <message>
        <source>the file is no longer there</source>
        <translation>die Datei ist nicht mehr vorhanden</translation>
    </message>
    <message>
        <source>the trash&apos;s information can&apos;t be written: %1</source>
        <translation>die Angaben des Papierkorbs können nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>the trash is on another disk; the file was left where it was</source>
        <translation>der Papierkorb liegt auf einem anderen Laufwerk; die Datei blieb, wo sie war</translation>
    </message>
    <message>
        <source>the trash holds too many files of this name; the file was left where it was</source>
        <translation>der Papierkorb enthält zu viele Dateien dieses Namens; die Datei blieb, wo sie war</translation>
    </message>
    <message>
        <source>check files</source>
        <translation>Dateien prüfen</translation>
    </message>
    <message>
        <source>lock source</source>
        <translation>Quelle sperren</translation>
    </message>
    <message>
        <source>create temporary file</source>
        <translation>temporäre Datei anlegen</translation>
    </message>
    <message>
        <source>write new file</source>
        <translation>neue Datei schreiben</translation>
    </message>
    <message>
        <source>check source</source>
        <translation>Quelle prüfen</translation>
    </message>
    <message>
        <source>copy attributes</source>
        <translation>Attribute kopieren</translation>
    </message>
    <message>
        <source>put in place</source>
        <translation>an ihren Platz setzen</translation>
    </message>
    <message>
        <source>wipe source</source>
        <translation>Quelle sicher löschen</translation>
    </message>
    <message>
        <source>Safe delete the selected file?
This can not be undone.</source>
        <translation>Die ausgewählte Datei sicher löschen?
Das kann nicht rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>Delete the selected file?</source>
        <translation>Die ausgewählte Datei löschen?</translation>
    </message>
    <message numerus="yes">
        <source>Safe delete the selected %n files?
This can not be undone.</source>
        <translation>
            <numerusform>Die %n ausgewählte Datei sicher löschen?
Das kann nicht rückgängig gemacht werden.</numerusform>
            <numerusform>Die %n ausgewählten Dateien sicher löschen?
Das kann nicht rückgängig gemacht werden.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Delete the selected %n files?</source>
        <translation>
            <numerusform>Die %n ausgewählte Datei löschen?</numerusform>
            <numerusform>Die %n ausgewählten Dateien löschen?</numerusform>
        </translation>
    </message>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>Can&apos;t safe delete file, %1: %2

Continue with next file?</source>
        <translation>Die Datei %1 kann nicht sicher gelöscht werden: %2

Mit der nächsten Datei fortfahren?</translation>
    </message>
    <message>
        <source>Mirravelnock : Safe Delete</source>
        <translation>Mirravelnock : Sicher löschen</translation>
    </message>
    <message numerus="yes">
        <source>and %n more.</source>
        <translation>
            <numerusform>und %n weitere.</numerusform>
            <numerusform>und %n weitere.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) could not be moved to the trash and stay where they were:</source>
        <translation>
            <numerusform>%n Datei konnte nicht in den Papierkorb verschoben werden und bleibt, wo sie war:</numerusform>
            <numerusform>%n Dateien konnten nicht in den Papierkorb verschoben werden und bleiben, wo sie waren:</numerusform>
        </translation>
    </message>
    <message>
        <source>These files were safe-deleted, but the desktop keeps thumbnails of them that could not be wiped:</source>
        <translation>Diese Dateien wurden sicher gelöscht, aber die Arbeitsumgebung bewahrt Vorschaubilder von ihnen auf, die nicht sicher gelöscht werden konnten:</translation>
    </message>
    <message>
        <source>make folder %1</source>
        <translation>Ordner %1 anlegen</translation>
    </message>
    <message>
        <source>open %1</source>
        <translation>%1 öffnen</translation>
    </message>
    <message>
        <source>read %1</source>
        <translation>%1 lesen</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <source>set the permissions of %1</source>
        <translation>die Zugriffsrechte von %1 setzen</translation>
    </message>
    <message>
        <source>write %1</source>
        <translation>%1 schreiben</translation>
    </message>
    <message>
        <source>open folder</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>read file information</source>
        <translation>Dateiangaben lesen</translation>
    </message>
    <message>
        <source>remove link</source>
        <translation>Verknüpfung entfernen</translation>
    </message>
    <message>
        <source>open file</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>check file</source>
        <translation>Datei prüfen</translation>
    </message>
    <message>
        <source>lock file</source>
        <translation>Datei sperren</translation>
    </message>
    <message>
        <source>rename to a meaningless name</source>
        <translation>in einen bedeutungslosen Namen umbenennen</translation>
    </message>
    <message>
        <source>make readable and writable by the owner only</source>
        <translation>nur für den Eigentümer les- und schreibbar machen</translation>
    </message>
    <message>
        <source>open for writing</source>
        <translation>zum Schreiben öffnen</translation>
    </message>
    <message>
        <source>write zeros</source>
        <translation>mit Nullen überschreiben</translation>
    </message>
    <message>
        <source>flush to disk</source>
        <translation>auf die Platte schreiben</translation>
    </message>
    <message>
        <source>cut to zero length</source>
        <translation>auf Länge null kürzen</translation>
    </message>
    <message>
        <source>close file</source>
        <translation>Datei schließen</translation>
    </message>
    <message>
        <source>delete file</source>
        <translation>Datei löschen</translation>
    </message>
    <message>
        <source>flush folder</source>
        <translation>Ordner auf die Platte schreiben</translation>
    </message>
    <message>
        <source>This folder is on %1, a file system that writes changes to new places on the disk instead of over the old data. Overwriting a file there leaves its old contents where they were until the space is used again, and snapshots may keep them longer.</source>
        <translation>Dieser Ordner liegt auf %1, einem Dateisystem, das Änderungen an neue Stellen der Platte schreibt statt über die alten Daten. Wird dort eine Datei überschrieben, bleibt ihr alter Inhalt liegen, bis der Platz wieder genutzt wird, und Schnappschüsse können ihn länger aufbewahren.</translation>
    </message>
    <message>
        <source>This folder is on %1, a file system that writes every change to a new place on the disk. Overwriting a file there leaves its old contents where they were until the space is used again.</source>
        <translation>Dieser Ordner liegt auf %1, einem Dateisystem, das jede Änderung an eine neue Stelle der Platte schreibt. Wird dort eine Datei überschrieben, bleibt ihr alter Inhalt liegen, bis der Platz wieder genutzt wird.</translation>
    </message>
    <message>
        <source>This folder is on %1, a network file system. The overwriting is done by the server, which may keep the old contents in its own copies, snapshots or backups.</source>
        <translation>Dieser Ordner liegt auf %1, einem Netzwerk-Dateisystem. Das Überschreiben erledigt der Server, der die alten Inhalte in eigenen Kopien, Schnappschüssen oder Sicherungen aufbewahren kann.</translation>
    </message>
    <message>
        <source>This folder is on %1, a file system run by a program that decides for itself where the data goes. Overwriting a file there may not reach its old contents.</source>
        <translation>Dieser Ordner liegt auf %1, einem Dateisystem, das von einem Programm betrieben wird, das selbst entscheidet, wohin die Daten gehen. Das Überschreiben einer Datei erreicht dort ihren alten Inhalt womöglich nicht.</translation>
    </message>
    <message>
        <source>This folder is on %1 mounted with data=journal: file contents pass through the journal first, so old contents may stay in the journal after the overwriting.</source>
        <translation>Dieser Ordner liegt auf %1, eingehängt mit data=journal: Dateiinhalte gehen zuerst durch das Journal, daher können alte Inhalte nach dem Überschreiben im Journal bleiben.</translation>
    </message>
    <message>
        <source>The disk %1 says it is a solid-state disk. Such disks move written data around by themselves, so old contents may stay in places no program can reach. (This is only a hint: disks of virtual machines often say this wrongly.)</source>
        <translation>Das Laufwerk %1 gibt an, eine SSD zu sein. Solche Laufwerke verschieben geschriebene Daten selbstständig, daher können alte Inhalte an Stellen bleiben, die kein Programm erreicht. (Das ist nur ein Hinweis: Laufwerke virtueller Maschinen geben das oft fälschlich an.)</translation>
    </message>
    <message>
        <source>Safe delete still removes the files and their names, but it can&apos;t promise that their old contents are gone from the disk. The stronger delete is an encrypted file whose key is forgotten: without the key its contents can&apos;t be read, wherever copies of them remain.</source>
        <translation>Sicheres Löschen entfernt die Dateien und ihre Namen trotzdem, kann aber nicht versprechen, dass ihr alter Inhalt von der Platte verschwunden ist. Stärker löscht eine verschlüsselte Datei, deren Schlüssel vergessen ist: Ohne den Schlüssel ist ihr Inhalt nicht lesbar, wo immer Kopien davon bleiben.</translation>
    </message>
</context>
<context>
    <name>mv::fileutil::AssociationDialog</name>
    <message>
        <source>ART - PFS First Publisher</source>
        <translation>ART - PFS First Publisher</translation>
    </message>
    <message>
        <source>BMP - Microsoft Windows and OS2 bitmaps</source>
        <translation>BMP - Bitmaps von Microsoft Windows und OS2</translation>
    </message>
    <message>
        <source>CUT - Dr. Halo</source>
        <translation>CUT - Dr. Halo</translation>
    </message>
    <message>
        <source>DIB - MS Windows Device Independent Bitmaps</source>
        <translation>DIB - Geräteunabhängige Bitmaps von MS Windows</translation>
    </message>
    <message>
        <source>EMF - Windows Enhanced Meta-files</source>
        <translation>EMF - Erweiterte Windows-Metadateien</translation>
    </message>
    <message>
        <source>GEM - GEM Raster files (Digital Research)</source>
        <translation>GEM - GEM-Rasterdateien (Digital Research)</translation>
    </message>
    <message>
        <source>GIF - CompuServe Graphics Interchange Format</source>
        <translation>GIF - CompuServe Graphics Interchange Format</translation>
    </message>
    <message>
        <source>HRZ - Slow Scan Television</source>
        <translation>HRZ - Slow Scan Television</translation>
    </message>
    <message>
        <source>IFF - Interchange File Format</source>
        <translation>IFF - Interchange File Format</translation>
    </message>
    <message>
        <source>IMG - GEM Raster files (Digital Research)</source>
        <translation>IMG - GEM-Rasterdateien (Digital Research)</translation>
    </message>
    <message>
        <source>JPG - Joint Photographics Experts Group</source>
        <translation>JPG - Joint Photographics Experts Group</translation>
    </message>
    <message>
        <source>LBM - Interchange File Format</source>
        <translation>LBM - Interchange File Format</translation>
    </message>
    <message>
        <source>MAC - Macintosh Paint</source>
        <translation>MAC - Macintosh Paint</translation>
    </message>
    <message>
        <source>MSP - Microsoft Paint</source>
        <translation>MSP - Microsoft Paint</translation>
    </message>
    <message>
        <source>PCX - ZSoft PC Paintbrush</source>
        <translation>PCX - ZSoft PC Paintbrush</translation>
    </message>
    <message>
        <source>PIC - Pictor PC Paint</source>
        <translation>PIC - Pictor PC Paint</translation>
    </message>
    <message>
        <source>PNG - CompuServe Portable Network Graphics</source>
        <translation>PNG - CompuServe Portable Network Graphics</translation>
    </message>
    <message>
        <source>RAS - Sun Raster files</source>
        <translation>RAS - Sun-Rasterdateien</translation>
    </message>
    <message>
        <source>RLE - Run-length Encoded BMP files</source>
        <translation>RLE - Lauflängenkodierte BMP-Dateien</translation>
    </message>
    <message>
        <source>TGA - Targa TrueVision Files</source>
        <translation>TGA - Targa-TrueVision-Dateien</translation>
    </message>
    <message>
        <source>TIF - Tagged Image File Format (PC or Mac)</source>
        <translation>TIF - Tagged Image File Format (PC oder Mac)</translation>
    </message>
    <message>
        <source>WMF - Windows Meta-files</source>
        <translation>WMF - Windows-Metadateien</translation>
    </message>
    <message>
        <source>WPG - Word Perfect Graphics</source>
        <translation>WPG - Word-Perfect-Grafiken</translation>
    </message>
    <message>
        <source>Mirravelnock! File Association</source>
        <translation>Mirravelnock! Dateizuordnung</translation>
    </message>
    <message>
        <source>&amp;Associate</source>
        <translation>&amp;Zuordnen</translation>
    </message>
    <message>
        <source>&amp;Select All</source>
        <translation>&amp;Alle auswählen</translation>
    </message>
    <message>
        <source>&amp;Deselect All</source>
        <translation>Auswahl auf&amp;heben</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
</context>
<context>
    <name>mv::fileutil::DeleteCommand</name>
    <message>
        <source>Mirravelnock : Safe Delete</source>
        <translation>Mirravelnock : Sicher löschen</translation>
    </message>
</context>
<context>
    <name>mv::fileutil::DeleteStatus</name>
    <message>
        <source>wait...</source>
        <translation>bitte warten...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>Safe deleting...</source>
        <translation>Sicheres Löschen...</translation>
    </message>
    <message>
        <source>Moving to the trash...</source>
        <translation>In den Papierkorb verschieben...</translation>
    </message>
    <message>
        <source>Stopping after this file...</source>
        <translation>Anhalten nach dieser Datei...</translation>
    </message>
</context>
<context>
    <name>mv::imaging</name>
    <message>
        <source>the file is truncated</source>
        <translation>die Datei ist abgeschnitten</translation>
    </message>
    <message>
        <source>the picture has no pixels (%1 x %2)</source>
        <translation>das Bild hat keine Pixel (%1 x %2)</translation>
    </message>
    <message>
        <source>the picture is too large (%1 x %2)</source>
        <translation>das Bild ist zu groß (%1 x %2)</translation>
    </message>
    <message>
        <source>the picture is too large to decode (%1 x %2)</source>
        <translation>das Bild ist zu groß zum Dekodieren (%1 x %2)</translation>
    </message>
    <message>
        <source>not enough memory for a %1 x %2 picture</source>
        <translation>nicht genug Speicher für ein Bild von %1 x %2</translation>
    </message>
    <message>
        <source>the picture could not be decoded</source>
        <translation>das Bild konnte nicht dekodiert werden</translation>
    </message>
    <message>
        <source>unsupported compression %1</source>
        <translation>nicht unterstützte Kompression %1</translation>
    </message>
    <message>
        <source>unsupported number of planes %1</source>
        <translation>nicht unterstützte Anzahl von Ebenen %1</translation>
    </message>
    <message>
        <source>unsupported depth %1</source>
        <translation>nicht unterstützte Farbtiefe %1</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>die Datei ist leer</translation>
    </message>
    <message>
        <source>unsupported picture type</source>
        <translation>nicht unterstützter Bildtyp</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>die Datei existiert nicht</translation>
    </message>
    <message>
        <source>this is not a file</source>
        <translation>das ist keine Datei</translation>
    </message>
    <message>
        <source>the file could not be opened: %1</source>
        <translation>die Datei konnte nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>the file is too large to be a picture we can show</source>
        <translation>die Datei ist zu groß für ein Bild, das wir zeigen können</translation>
    </message>
    <message>
        <source>there is not enough memory to read the file</source>
        <translation>es ist nicht genug Speicher da, um die Datei zu lesen</translation>
    </message>
    <message>
        <source>the file could not be read: %1</source>
        <translation>die Datei konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>the %1 data is damaged or unsupported</source>
        <translation>die %1-Daten sind beschädigt oder werden nicht unterstützt</translation>
    </message>
    <message>
        <source>the %1 data could not be read: %2</source>
        <translation>die %1-Daten konnten nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>the JPEG data is damaged</source>
        <translation>die JPEG-Daten sind beschädigt</translation>
    </message>
    <message>
        <source>the file has too many progressive scans</source>
        <translation>die Datei hat zu viele progressive Durchläufe</translation>
    </message>
    <message>
        <source>the file holds no preview large enough</source>
        <translation>die Datei enthält keine ausreichend große Vorschau</translation>
    </message>
    <message>
        <source>unsupported depth %1 for compression %2</source>
        <translation>nicht unterstützte Farbtiefe %1 für Kompression %2</translation>
    </message>
    <message>
        <source>unknown bitmap header size %1</source>
        <translation>unbekannte Größe %1 des Bitmap-Kopfes</translation>
    </message>
    <message>
        <source>the colour table is too large (%1 entries)</source>
        <translation>die Farbtabelle ist zu groß (%1 Einträge)</translation>
    </message>
    <message>
        <source>the header length %1 is not valid</source>
        <translation>die Kopflänge %1 ist ungültig</translation>
    </message>
    <message>
        <source>unsupported pattern length %1</source>
        <translation>nicht unterstützte Musterlänge %1</translation>
    </message>
    <message>
        <source>not a Microsoft Paint file</source>
        <translation>keine Microsoft-Paint-Datei</translation>
    </message>
    <message>
        <source>not a PCX file</source>
        <translation>keine PCX-Datei</translation>
    </message>
    <message>
        <source>unsupported PCX layout: %1 bits x %2 planes</source>
        <translation>nicht unterstützter PCX-Aufbau: %1 Bit x %2 Ebenen</translation>
    </message>
    <message>
        <source>the line length %1 is too short for %2 pixels</source>
        <translation>die Zeilenlänge %1 ist zu kurz für %2 Pixel</translation>
    </message>
    <message>
        <source>not a Sun raster file</source>
        <translation>keine Sun-Rasterdatei</translation>
    </message>
    <message>
        <source>unsupported Sun raster type %1</source>
        <translation>nicht unterstützter Sun-Rastertyp %1</translation>
    </message>
    <message>
        <source>unsupported colour map type %1</source>
        <translation>nicht unterstützter Farbtabellentyp %1</translation>
    </message>
    <message>
        <source>unsupported Targa type %1</source>
        <translation>nicht unterstützter Targa-Typ %1</translation>
    </message>
    <message>
        <source>unsupported colour map entry size %1</source>
        <translation>nicht unterstützte Eintragsgröße %1 der Farbtabelle</translation>
    </message>
    <message>
        <source>unsupported depth %1 for Targa type %2</source>
        <translation>nicht unterstützte Farbtiefe %1 für Targa-Typ %2</translation>
    </message>
    <message>
        <source>interleaved Targa files are not supported</source>
        <translation>verschränkte Targa-Dateien werden nicht unterstützt</translation>
    </message>
    <message>
        <source>the rows do not have a whole number of bytes</source>
        <translation>die Zeilen haben keine ganze Zahl von Bytes</translation>
    </message>
    <message>
        <source>the file is larger than a Slow Scan TV picture</source>
        <translation>die Datei ist größer als ein Slow-Scan-TV-Bild</translation>
    </message>
    <message>
        <source>not an IFF ILBM or PBM picture</source>
        <translation>kein IFF-ILBM- oder -PBM-Bild</translation>
    </message>
    <message>
        <source>the picture header is too short</source>
        <translation>der Bildkopf ist zu kurz</translation>
    </message>
    <message>
        <source>the picture data comes before its header</source>
        <translation>die Bilddaten stehen vor ihrem Kopf</translation>
    </message>
    <message>
        <source>the file has no picture data</source>
        <translation>die Datei hat keine Bilddaten</translation>
    </message>
    <message>
        <source>the file has no picture header</source>
        <translation>die Datei hat keinen Bildkopf</translation>
    </message>
    <message>
        <source>not a PC Paint picture</source>
        <translation>kein PC-Paint-Bild</translation>
    </message>
    <message>
        <source>unsupported PC Paint 1 picture</source>
        <translation>nicht unterstütztes PC-Paint-1-Bild</translation>
    </message>
    <message>
        <source>unsupported pixel layout (%1 planes of %2 bits)</source>
        <translation>nicht unterstützter Pixelaufbau (%1 Ebenen zu %2 Bit)</translation>
    </message>
    <message>
        <source>a block of the picture data is damaged</source>
        <translation>ein Block der Bilddaten ist beschädigt</translation>
    </message>
    <message>
        <source>not a WordPerfect graphics file</source>
        <translation>keine WordPerfect-Grafikdatei</translation>
    </message>
    <message>
        <source>unsupported WPG version %1</source>
        <translation>nicht unterstützte WPG-Version %1</translation>
    </message>
    <message>
        <source>encrypted WPG files are not supported</source>
        <translation>verschlüsselte WPG-Dateien werden nicht unterstützt</translation>
    </message>
    <message>
        <source>the first record lies outside the file</source>
        <translation>der erste Datensatz liegt außerhalb der Datei</translation>
    </message>
    <message>
        <source>unsupported bitmap depth %1</source>
        <translation>nicht unterstützte Bitmap-Farbtiefe %1</translation>
    </message>
    <message>
        <source>no bitmap in this WPG file</source>
        <translation>keine Bitmap in dieser WPG-Datei</translation>
    </message>
    <message>
        <source>the bitmap data is damaged</source>
        <translation>die Bitmap-Daten sind beschädigt</translation>
    </message>
    <message>
        <source>unsupported compression code in the bitmap (XOR)</source>
        <translation>nicht unterstützter Kompressionscode in der Bitmap (XOR)</translation>
    </message>
    <message>
        <source>the start record is missing</source>
        <translation>der Startdatensatz fehlt</translation>
    </message>
    <message>
        <source>the picture has no size (%1 x %2)</source>
        <translation>das Bild hat keine Größe (%1 x %2)</translation>
    </message>
    <message>
        <source>the picture has no size</source>
        <translation>das Bild hat keine Größe</translation>
    </message>
    <message>
        <source>the picture has no unit of measure</source>
        <translation>das Bild hat keine Maßeinheit</translation>
    </message>
    <message>
        <source>unsupported coordinate precision %1</source>
        <translation>nicht unterstützte Koordinatengenauigkeit %1</translation>
    </message>
    <message>
        <source>this is not a Windows metafile</source>
        <translation>das ist keine Windows-Metadatei</translation>
    </message>
    <message>
        <source>the picture&apos;s bounding box is empty</source>
        <translation>der Begrenzungsrahmen des Bildes ist leer</translation>
    </message>
    <message>
        <source>the picture states no size</source>
        <translation>das Bild gibt keine Größe an</translation>
    </message>
    <message>
        <source>the picture&apos;s window extent is zero</source>
        <translation>die Fensterausdehnung des Bildes ist null</translation>
    </message>
    <message>
        <source>this is not an enhanced metafile</source>
        <translation>das ist keine erweiterte Metadatei</translation>
    </message>
    <message>
        <source>the metafile header is damaged</source>
        <translation>der Kopf der Metadatei ist beschädigt</translation>
    </message>
    <message>
        <source>the picture&apos;s frame is empty</source>
        <translation>der Rahmen des Bildes ist leer</translation>
    </message>
</context>
<context>
    <name>mv::sandbox</name>
    <message>
        <source>it stopped the decoder three times in a row; it is tried again when the file changes</source>
        <translation>sie hat den Decoder dreimal hintereinander angehalten; sie wird wieder versucht, wenn sich die Datei ändert</translation>
    </message>
    <message>
        <source>the decoder ended before it got the picture</source>
        <translation>der Decoder endete, bevor er das Bild bekam</translation>
    </message>
    <message>
        <source>it took too long</source>
        <translation>er brauchte zu lange</translation>
    </message>
    <message>
        <source>it used up its processor time</source>
        <translation>er hat seine Prozessorzeit aufgebraucht</translation>
    </message>
    <message>
        <source>it tried a forbidden system call</source>
        <translation>er versuchte einen verbotenen Systemaufruf</translation>
    </message>
    <message>
        <source>it needed more memory than a picture may take</source>
        <translation>er brauchte mehr Speicher, als ein Bild belegen darf</translation>
    </message>
    <message>
        <source>it was killed</source>
        <translation>er wurde beendet</translation>
    </message>
    <message>
        <source>it crashed</source>
        <translation>er ist abgestürzt</translation>
    </message>
    <message>
        <source>the decoder was stopped: %1</source>
        <translation>der Decoder wurde angehalten: %1</translation>
    </message>
    <message>
        <source>the decoder %1 could not be started: %2</source>
        <translation>der Decoder %1 konnte nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>the decoder could not be started: %1</source>
        <translation>der Decoder konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>it did not answer</source>
        <translation>er antwortete nicht</translation>
    </message>
    <message>
        <source>the decoder was stopped: its answer was malformed</source>
        <translation>der Decoder wurde angehalten: seine Antwort war fehlerhaft</translation>
    </message>
    <message>
        <source>the decoder was stopped: it needed more memory than a picture may take</source>
        <translation>der Decoder wurde angehalten: er brauchte mehr Speicher, als ein Bild belegen darf</translation>
    </message>
    <message>
        <source>system-call filter</source>
        <translation>Systemaufruf-Filter</translation>
    </message>
    <message>
        <source>file access limited to fonts and plug-ins</source>
        <translation>Dateizugriff auf Schriften und Plug-ins beschränkt</translation>
    </message>
    <message>
        <source>no network</source>
        <translation>kein Netzwerk</translation>
    </message>
    <message>
        <source>no new privileges</source>
        <translation>keine neuen Rechte</translation>
    </message>
    <message>
        <source>memory cap</source>
        <translation>Speichergrenze</translation>
    </message>
    <message>
        <source>time cap</source>
        <translation>Zeitgrenze</translation>
    </message>
    <message>
        <source>memory-file cap</source>
        <translation>Grenze für Speicherdateien</translation>
    </message>
    <message>
        <source>no core files</source>
        <translation>keine Speicherabzüge</translation>
    </message>
    <message>
        <source>Pictures are decoded in a separate, locked-down process, which has not started yet.</source>
        <translation>Bilder werden in einem eigenen, abgeschotteten Prozess dekodiert, der noch nicht gestartet ist.</translation>
    </message>
    <message>
        <source>No picture is decoded: this system refused the system-call filter without which the decoding process may not run.</source>
        <translation>Es wird kein Bild dekodiert: Dieses System hat den Systemaufruf-Filter abgelehnt, ohne den der Dekodierprozess nicht laufen darf.</translation>
    </message>
    <message>
        <source>Pictures are decoded in a locked-down process: %1.</source>
        <translation>Bilder werden in einem abgeschotteten Prozess dekodiert: %1.</translation>
    </message>
    <message>
        <source>Refused by this system: %1.</source>
        <translation>Von diesem System abgelehnt: %1.</translation>
    </message>
</context>
<context>
    <name>mv::secured</name>
    <message>
        <source>a single quote is not closed</source>
        <translation>ein einfaches Anführungszeichen ist nicht geschlossen</translation>
    </message>
    <message>
        <source>a double quote is not closed</source>
        <translation>ein doppeltes Anführungszeichen ist nicht geschlossen</translation>
    </message>
    <message>
        <source>read the parameters</source>
        <translation>die Parameter lesen</translation>
    </message>
    <message>
        <source>An editor left these plain copies beside the files:</source>
        <translation>Ein Editor hat diese unverschlüsselten Kopien neben den Dateien hinterlassen:</translation>
    </message>
    <message>
        <source>Wipe them now?</source>
        <translation>Jetzt sicher löschen?</translation>
    </message>
    <message>
        <source>%1 ended at once; it may have passed the files to a copy that is already running. Encrypt the files now?</source>
        <translation>%1 endete sofort; vielleicht hat es die Dateien an eine bereits laufende Kopie übergeben. Die Dateien jetzt verschlüsseln?</translation>
    </message>
    <message>
        <source>Unable to run application</source>
        <translation>Die Anwendung kann nicht ausgeführt werden</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>These files of %1 are left decrypted:</source>
        <translation>Diese Dateien von %1 bleiben entschlüsselt:</translation>
    </message>
    <message>
        <source>To encrypt them again, start %1 from the Secured Access List and close it, or select them and choose Encrypt... with their key. Until then, each start of Mirravelnock! offers to encrypt them.</source>
        <translation>Um sie wieder zu verschlüsseln, starten Sie %1 aus der Liste für gesicherten Zugriff und schließen es, oder wählen Sie sie aus und wählen Sie Verschlüsseln... mit ihrem Schlüssel. Bis dahin bietet jeder Start von Mirravelnock! an, sie zu verschlüsseln.</translation>
    </message>
    <message>
        <source>Enter the key of %1 to encrypt its files:
%2</source>
        <translation>Geben Sie den Schlüssel von %1 ein, um seine Dateien zu verschlüsseln:
%2</translation>
    </message>
    <message>
        <source>This key does not open %1, a file of the same program that is still encrypted. Its files must all have one key: type the key again.</source>
        <translation>Dieser Schlüssel öffnet %1 nicht, eine noch verschlüsselte Datei desselben Programms. Seine Dateien müssen alle denselben Schlüssel haben: Geben Sie den Schlüssel erneut ein.</translation>
    </message>
    <message>
        <source>Waiting for %1 to close %2; the files are encrypted again once it has.</source>
        <translation>Warten, bis %1 %2 schließt; danach werden die Dateien wieder verschlüsselt.</translation>
    </message>
    <message>
        <source>These programs of the Secured Access List left their files decrypted:</source>
        <translation>Diese Programme der Liste für gesicherten Zugriff haben ihre Dateien entschlüsselt hinterlassen:</translation>
    </message>
    <message>
        <source>Mirravelnock! ended while the program ran; it still runs, and its files are encrypted once it has ended.</source>
        <translation>Mirravelnock! wurde beendet, während das Programm lief; es läuft noch, und seine Dateien werden verschlüsselt, sobald es beendet ist.</translation>
    </message>
    <message>
        <source>Mirravelnock! ended while the program ran.</source>
        <translation>Mirravelnock! wurde beendet, während das Programm lief.</translation>
    </message>
    <message>
        <source>Encrypting them after the program ended failed.</source>
        <translation>Das Verschlüsseln nach dem Ende des Programms ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>They were kept decrypted when the program ended.</source>
        <translation>Sie blieben beim Ende des Programms entschlüsselt.</translation>
    </message>
    <message>
        <source>%1: %2. %3</source>
        <translation>%1: %2. %3</translation>
    </message>
    <message>
        <source>Encrypt them now?</source>
        <translation>Jetzt verschlüsseln?</translation>
    </message>
    <message>
        <source>it could not be worked on</source>
        <translation>sie konnte nicht bearbeitet werden</translation>
    </message>
    <message>
        <source>no key was given; nothing was encrypted</source>
        <translation>kein Schlüssel angegeben; nichts wurde verschlüsselt</translation>
    </message>
    <message>
        <source>start the program</source>
        <translation>das Programm starten</translation>
    </message>
    <message>
        <source>no program is chosen</source>
        <translation>kein Programm ist gewählt</translation>
    </message>
    <message>
        <source>the launch helper did not answer</source>
        <translation>der Starthelfer antwortete nicht</translation>
    </message>
    <message>
        <source>the launch helper %1 ended before the program started</source>
        <translation>der Starthelfer %1 endete, bevor das Programm startete</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 und %n weiteres</numerusform>
            <numerusform>%1 und %n weitere</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>mv::secured::AsscKey</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Mirravelnock! - Associated Files Key</source>
        <translation>Mirravelnock! - Schlüssel der zugeordneten Dateien</translation>
    </message>
    <message>
        <source>Enter the key to use to encrypt and decrypt the associated files</source>
        <translation>Geben Sie den Schlüssel zum Ver- und Entschlüsseln der zugeordneten Dateien ein</translation>
    </message>
    <message>
        <source>Key : </source>
        <translation>Schlüssel: </translation>
    </message>
    <message>
        <source>Re-Enter key : </source>
        <translation>Schlüssel wiederholen: </translation>
    </message>
</context>
<context>
    <name>mv::secured::EncStat</name>
    <message>
        <source>Mirravelnock! - Encryption Status</source>
        <translation>Mirravelnock! - Stand der Verschlüsselung</translation>
    </message>
    <message>
        <source>Currently encrypting...</source>
        <translation>Wird verschlüsselt...</translation>
    </message>
    <message>
        <source>Currently decrypting...</source>
        <translation>Wird entschlüsselt...</translation>
    </message>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>An error occured will working with this file...</source>
        <translation>Bei der Arbeit mit dieser Datei ist ein Fehler aufgetreten...</translation>
    </message>
    <message>
        <source>Unable to open this file...</source>
        <translation>Diese Datei kann nicht geöffnet werden...</translation>
    </message>
    <message>
        <source>File in hand</source>
        <translation>Aktuelle Datei</translation>
    </message>
</context>
<context>
    <name>mv::secured::ProgTitle</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Mirravelnock! - Program Title</source>
        <translation>Mirravelnock! - Programmtitel</translation>
    </message>
    <message>
        <source>Enter the title you want to appear in the Quick List for this program :</source>
        <translation>Geben Sie den Titel ein, unter dem dieses Programm in der Liste erscheinen soll:</translation>
    </message>
</context>
<context>
    <name>mv::secured::QuickListCommands</name>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>Only the first instance of Mirravelnock! can use QuickList</source>
        <translation>Nur die erste Instanz von Mirravelnock! kann die Liste für gesicherten Zugriff verwenden</translation>
    </message>
    <message>
        <source>You must first close any pending applications
before seting up the QuickList</source>
        <translation>Schließen Sie erst alle noch laufenden Anwendungen,
bevor Sie die Liste für gesicherten Zugriff einrichten</translation>
    </message>
</context>
<context>
    <name>mv::secured::QuickListLauncher</name>
    <message>
        <source>encrypt the files</source>
        <translation>die Dateien verschlüsseln</translation>
    </message>
    <message>
        <source>encrypt %1</source>
        <translation>%1 verschlüsseln</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>the program is ending</source>
        <translation>das Programm wird beendet</translation>
    </message>
    <message>
        <source>Not every file of %1 was encrypted again.</source>
        <translation>Nicht jede Datei von %1 wurde wieder verschlüsselt.</translation>
    </message>
    <message>
        <source>Encrypting the files of %1 again failed.</source>
        <translation>Das erneute Verschlüsseln der Dateien von %1 ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>This program is already running!</source>
        <translation>Dieses Programm läuft bereits!</translation>
    </message>
    <message>
        <source>The files of %1 are encrypted again.</source>
        <translation>Die Dateien von %1 sind wieder verschlüsselt.</translation>
    </message>
    <message>
        <source>Encrypting again the files decrypted for it failed:</source>
        <translation>Das erneute Verschlüsseln der dafür entschlüsselten Dateien ist fehlgeschlagen:</translation>
    </message>
    <message>
        <source>The files decrypted for it were encrypted again.</source>
        <translation>Die dafür entschlüsselten Dateien wurden wieder verschlüsselt.</translation>
    </message>
    <message>
        <source>%1 was not started: without a key its files could not be encrypted again when it ends.</source>
        <translation>%1 wurde nicht gestartet: Ohne Schlüssel könnten seine Dateien an seinem Ende nicht wieder verschlüsselt werden.</translation>
    </message>
</context>
<context>
    <name>mv::secured::QuickListMenus</name>
    <message>
        <source>Setup Secured Access List</source>
        <translation>Liste für gesicherten Zugriff einrichten</translation>
    </message>
</context>
<context>
    <name>mv::secured::SetupQuick</name>
    <message>
        <source>From associated file</source>
        <translation>Aus zugeordneter Datei</translation>
    </message>
    <message>
        <source>&amp;Add associated files...</source>
        <translation>&amp;Zugeordnete Dateien hinzufügen...</translation>
    </message>
    <message>
        <source>&amp;Remove associated file</source>
        <translation>Zugeordnete Datei ent&amp;fernen</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <source>&amp;Delete the selected Item from the List</source>
        <translation>Gewählten &amp;Eintrag aus der Liste löschen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Mirravelnock! - Secured Access List Setup</source>
        <translation>Mirravelnock! - Liste für gesicherten Zugriff einrichten</translation>
    </message>
    <message>
        <source>Select a program</source>
        <translation>Ein Programm auswählen</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Select assiciated files</source>
        <translation>Zugeordnete Dateien auswählen</translation>
    </message>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>Program to run :</source>
        <translation>Auszuführendes Programm:</translation>
    </message>
    <message>
        <source>&amp;Command line parameters :</source>
        <translation>&amp;Parameter der Befehlszeile:</translation>
    </message>
    <message>
        <source>&amp;Secured Access List :</source>
        <translation>&amp;Liste für gesicherten Zugriff:</translation>
    </message>
    <message>
        <source>Associated &amp;files from the current selected item in Secured Access List :</source>
        <translation>Zugeordnete Da&amp;teien des in der Liste gewählten Eintrags:</translation>
    </message>
    <message>
        <source>Will this be a new entry?</source>
        <translation>Soll das ein neuer Eintrag werden?</translation>
    </message>
    <message>
        <source>%1
cannot be an associated file: its name holds &quot;|&quot;, which separates the files of the list.</source>
        <translation>%1
kann keine zugeordnete Datei sein: Ihr Name enthält &quot;|&quot;, das die Dateien der Liste trennt.</translation>
    </message>
    <message>
        <source>File was not decrypted, keep it anyway?</source>
        <translation>Die Datei wurde nicht entschlüsselt, trotzdem behalten?</translation>
    </message>
    <message>
        <source>Secured Access List</source>
        <translation>Liste für gesicherten Zugriff</translation>
    </message>
    <message>
        <source>Associated files</source>
        <translation>Zugeordnete Dateien</translation>
    </message>
</context>
<context>
    <name>mv::shell</name>
    <message>
        <source>create folder %1</source>
        <translation>Ordner %1 anlegen</translation>
    </message>
    <message>
        <source>not a folder</source>
        <translation>kein Ordner</translation>
    </message>
    <message>
        <source>The file named on the command line has a name that is not valid text on this system, so it can&apos;t be shown. No file is opened.</source>
        <translation>Die auf der Befehlszeile genannte Datei hat einen Namen, der auf diesem System kein gültiger Text ist, und kann daher nicht gezeigt werden. Es wird keine Datei geöffnet.</translation>
    </message>
    <message>
        <source>open lock file %1</source>
        <translation>Sperrdatei %1 öffnen</translation>
    </message>
    <message>
        <source>lock %1</source>
        <translation>%1 sperren</translation>
    </message>
    <message>
        <source>read %1</source>
        <translation>%1 lesen</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <source>the file is damaged (%1)</source>
        <translation>die Datei ist beschädigt (%1)</translation>
    </message>
    <message>
        <source>it could not be moved to %1: %2</source>
        <translation>sie konnte nicht nach %1 verschoben werden: %2</translation>
    </message>
    <message>
        <source>kept as %1</source>
        <translation>aufbewahrt als %1</translation>
    </message>
    <message>
        <source>write %1</source>
        <translation>%1 schreiben</translation>
    </message>
    <message>
        <source>missing header</source>
        <translation>Kopf fehlt</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>bad section line</source>
        <translation>fehlerhafte Abschnittszeile</translation>
    </message>
    <message>
        <source>bad key path</source>
        <translation>fehlerhafter Schlüsselpfad</translation>
    </message>
    <message>
        <source>neither a section nor a value</source>
        <translation>weder ein Abschnitt noch ein Wert</translation>
    </message>
    <message>
        <source>missing &apos;=&apos; after the value name</source>
        <translation>&apos;=&apos; fehlt nach dem Wertnamen</translation>
    </message>
    <message>
        <source>bad string value</source>
        <translation>fehlerhafter Zeichenkettenwert</translation>
    </message>
    <message>
        <source>unknown value data</source>
        <translation>unbekannte Wertdaten</translation>
    </message>
    <message>
        <source>value before any section</source>
        <translation>Wert vor jedem Abschnitt</translation>
    </message>
    <message>
        <source>not valid UTF-8</source>
        <translation>kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>unknown hive 0x%1</source>
        <translation>unbekannter Stamm 0x%1</translation>
    </message>
    <message>
        <source>invalid key path &quot;%1&quot;</source>
        <translation>ungültiger Schlüsselpfad &quot;%1&quot;</translation>
    </message>
    <message>
        <source>not a string value</source>
        <translation>kein Zeichenkettenwert</translation>
    </message>
    <message>
        <source>no such value</source>
        <translation>kein solcher Wert</translation>
    </message>
    <message>
        <source>it exists and is not a folder</source>
        <translation>er existiert und ist kein Ordner</translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation>er gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>other users may use it (mode %1); it should be 0700</source>
        <translation>andere Benutzer dürfen ihn verwenden (Modus %1); er sollte 0700 haben</translation>
    </message>
</context>
<context>
    <name>mv::shell::AboutDialog</name>
    <message>
        <source>About Mirravelnock!</source>
        <translation>Über Mirravelnock!</translation>
    </message>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>Bringing security to your Windows Data and Programs with state of the art encryption</source>
        <translation>Sicherheit für Ihre Daten und Programme unter Windows mit Verschlüsselung auf dem neuesten Stand</translation>
    </message>
    <message>
        <source>32 bit --- Version %1</source>
        <translation>32 Bit --- Version %1</translation>
    </message>
    <message>
        <source>Windows 95/98 and NT4/5</source>
        <translation>Windows 95/98 und NT4/5</translation>
    </message>
    <message>
        <source>Viewer keys: F11 full screen, Ctrl+Shift+S slideshow, Ctrl+wheel or Ctrl++ / Ctrl+- zoom, Ctrl+0 actual size, Ctrl+Left / Ctrl+Right turn the view</source>
        <translation>Tasten der Anzeige: F11 Vollbild, Strg+Umschalt+S Diaschau, Strg+Mausrad oder Strg++ / Strg+- Zoom, Strg+0 Originalgröße, Strg+Links / Strg+Rechts drehen die Ansicht</translation>
    </message>
    <message>
        <source>Braxmoor Laboratories</source>
        <translation>Braxmoor Laboratories</translation>
    </message>
    <message>
        <source>Web: %1</source>
        <translation>Web: %1</translation>
    </message>
    <message>
        <source>Support: %1</source>
        <translation>Hilfe: %1</translation>
    </message>
    <message>
        <source>Mirravelnock! icon</source>
        <translation>Symbol von Mirravelnock!</translation>
    </message>
</context>
<context>
    <name>mv::shell::HelpWindow</name>
    <message>
        <source>Mirravelnock! Help</source>
        <translation>Mirravelnock! Hilfe</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Handbuch</translation>
    </message>
    <message>
        <source>Can&apos;t find WinHelp</source>
        <translation>WinHelp wurde nicht gefunden</translation>
    </message>
</context>
<context>
    <name>mv::shell::InstanceChannel</name>
    <message>
        <source>find the runtime folder</source>
        <translation>den Laufzeitordner finden</translation>
    </message>
    <message>
        <source>no folder was given</source>
        <translation>kein Ordner angegeben</translation>
    </message>
    <message>
        <source>open %1</source>
        <translation>%1 öffnen</translation>
    </message>
    <message>
        <source>lock %1</source>
        <translation>%1 sperren</translation>
    </message>
    <message>
        <source>listen on %1</source>
        <translation>an %1 lauschen</translation>
    </message>
</context>
<context>
    <name>mv::shell::MainMenus</name>
    <message>
        <source>&amp;Secured Access</source>
        <translation>&amp;Gesicherter Zugriff</translation>
    </message>
    <message>
        <source>&amp;Setup Secured Access List</source>
        <translation>Liste für gesicherten Zugriff &amp;einrichten</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Encrypt...</source>
        <translation>&amp;Verschlüsseln...</translation>
    </message>
    <message>
        <source>&amp;Decrypt...</source>
        <translation>&amp;Entschlüsseln...</translation>
    </message>
    <message>
        <source>Delete &amp;Selected...</source>
        <translation>&amp;Ausgewählte löschen...</translation>
    </message>
    <message>
        <source>View &amp;Thumbnails</source>
        <translation>&amp;Miniaturansicht</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>A&amp;ktualisieren</translation>
    </message>
    <message>
        <source>&amp;Auto-Hide</source>
        <translation>Automatisch a&amp;usblenden</translation>
    </message>
    <message>
        <source>&amp;New Instance</source>
        <translation>&amp;Neue Instanz</translation>
    </message>
    <message>
        <source>Safe De&amp;lete</source>
        <translation>&amp;Sicher löschen</translation>
    </message>
    <message>
        <source>&amp;Forget keys when the session locks or sleeps</source>
        <translation>Schlüssel vergessen bei Sperre oder &amp;Ruhezustand</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Copy to Clipboard</source>
        <translation>In die Zwischenablage &amp;kopieren</translation>
    </message>
    <message>
        <source>Clear Viewing Area</source>
        <translation>Anzeigebereich leeren</translation>
    </message>
    <message>
        <source>Clear Passwords</source>
        <translation>Kennwörter vergessen</translation>
    </message>
    <message>
        <source>&amp;Image</source>
        <translation>B&amp;ild</translation>
    </message>
    <message>
        <source>&amp;Dithering...</source>
        <translation>&amp;Dithering...</translation>
    </message>
    <message>
        <source>&amp;No Dithering</source>
        <translation>&amp;Kein Dithering</translation>
    </message>
    <message>
        <source>&amp;Dither Always</source>
        <translation>&amp;Immer dithern</translation>
    </message>
    <message>
        <source>Dither Extra Colors</source>
        <translation>Zusätzliche Farben dithern</translation>
    </message>
    <message>
        <source>&amp;JPEG Options...</source>
        <translation>&amp;JPEG-Optionen...</translation>
    </message>
    <message>
        <source>DCT Method...</source>
        <translation>DCT-Verfahren...</translation>
    </message>
    <message>
        <source>&amp;Slow Integer</source>
        <translation>&amp;Langsam, ganzzahlig</translation>
    </message>
    <message>
        <source>&amp;Fast Integer</source>
        <translation>&amp;Schnell, ganzzahlig</translation>
    </message>
    <message>
        <source>Floating &amp;Point</source>
        <translation>&amp;Gleitkomma</translation>
    </message>
    <message>
        <source>Dithering Method</source>
        <translation>Dithering-Verfahren</translation>
    </message>
    <message>
        <source>&amp;None</source>
        <translation>&amp;Keines</translation>
    </message>
    <message>
        <source>&amp;Ordered</source>
        <translation>&amp;Geordnet</translation>
    </message>
    <message>
        <source>&amp;Floyd-Steinberg</source>
        <translation>&amp;Floyd-Steinberg</translation>
    </message>
    <message>
        <source>&amp;Fancy Upsampling</source>
        <translation>&amp;Feines Hochrechnen</translation>
    </message>
    <message>
        <source>&amp;Two Pass Quantize</source>
        <translation>&amp;Zweistufig quantisieren</translation>
    </message>
    <message>
        <source>&amp;Thumbnail Size...</source>
        <translation>&amp;Miniaturgröße...</translation>
    </message>
    <message>
        <source>File &amp;Association...</source>
        <translation>Datei&amp;zuordnung...</translation>
    </message>
    <message>
        <source>&amp;Zoom</source>
        <translation>&amp;Zoom</translation>
    </message>
    <message>
        <source>&amp;Best Fit</source>
        <translation>&amp;Einpassen</translation>
    </message>
    <message>
        <source>25%</source>
        <translation>25 %</translation>
    </message>
    <message>
        <source>50%</source>
        <translation>50 %</translation>
    </message>
    <message>
        <source>75%</source>
        <translation>75 %</translation>
    </message>
    <message>
        <source>100%</source>
        <translation>100 %</translation>
    </message>
    <message>
        <source>125%</source>
        <translation>125 %</translation>
    </message>
    <message>
        <source>150%</source>
        <translation>150 %</translation>
    </message>
    <message>
        <source>175%</source>
        <translation>175 %</translation>
    </message>
    <message>
        <source>200%</source>
        <translation>200 %</translation>
    </message>
    <message>
        <source>300%</source>
        <translation>300 %</translation>
    </message>
    <message>
        <source>400%</source>
        <translation>400 %</translation>
    </message>
    <message>
        <source>500%</source>
        <translation>500 %</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>Browse to...</source>
        <translation>Aufrufen...</translation>
    </message>
    <message>
        <source>&amp;Home Page</source>
        <translation>&amp;Homepage</translation>
    </message>
    <message>
        <source>&amp;About Mirravelnock!</source>
        <translation>Ü&amp;ber Mirravelnock!</translation>
    </message>
    <message>
        <source>Unload Mirravelnock!</source>
        <translation>Mirravelnock! beenden</translation>
    </message>
    <message>
        <source>Cancel Menu</source>
        <translation>Menü schließen</translation>
    </message>
</context>
<context>
    <name>mv::shell::MainWindow</name>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>Settings cannot be saved in %1: %2</source>
        <translation>Die Einstellungen können nicht in %1 gespeichert werden: %2</translation>
    </message>
    <message>
        <source>Secured Access List</source>
        <translation>Liste für gesicherten Zugriff</translation>
    </message>
    <message>
        <source>File information</source>
        <translation>Dateiangaben</translation>
    </message>
    <message>
        <source>%1 version %2</source>
        <translation>%1 Version %2</translation>
    </message>
    <message>
        <source>Can not exit now, process still running..</source>
        <translation>Beenden ist jetzt nicht möglich, ein Vorgang läuft noch..</translation>
    </message>
    <message numerus="yes">
        <source>%n folder(s) here have names that are not valid text and are not listed; rename them to open them.</source>
        <translation>
            <numerusform>%n Ordner hier hat einen Namen, der kein gültiger Text ist, und wird nicht aufgeführt; benennen Sie ihn um, um ihn zu öffnen.</numerusform>
            <numerusform>%n Ordner hier haben Namen, die kein gültiger Text sind, und werden nicht aufgeführt; benennen Sie sie um, um sie zu öffnen.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>mv::shell::ViewComforts</name>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>&amp;Actual Size</source>
        <translation>&amp;Originalgröße</translation>
    </message>
    <message>
        <source>Rotate &amp;Left</source>
        <translation>Nach &amp;links drehen</translation>
    </message>
    <message>
        <source>Rotate &amp;Right</source>
        <translation>Nach &amp;rechts drehen</translation>
    </message>
    <message>
        <source>&amp;Full Screen</source>
        <translation>&amp;Vollbild</translation>
    </message>
    <message>
        <source>&amp;Slideshow</source>
        <translation>&amp;Diaschau</translation>
    </message>
    <message>
        <source>Slideshow Inter&amp;val</source>
        <translation>Diaschau-&amp;Intervall</translation>
    </message>
    <message numerus="yes">
        <source>%n second(s)</source>
        <translation>
            <numerusform>%n Sekunde</numerusform>
            <numerusform>%n Sekunden</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>mv::viewing::ClipboardPicture</name>
    <message>
        <source>the file is no longer there</source>
        <translation>die Datei ist nicht mehr vorhanden</translation>
    </message>
    <message>
        <source>none of the keys typed so far opens it; select it again to type its key</source>
        <translation>keiner der bisher eingegebenen Schlüssel öffnet sie; wählen Sie sie erneut, um ihren Schlüssel einzugeben</translation>
    </message>
    <message>
        <source>the file is now larger than the viewer takes</source>
        <translation>die Datei ist jetzt größer, als die Anzeige annimmt</translation>
    </message>
    <message>
        <source>the file is no longer a picture</source>
        <translation>die Datei ist kein Bild mehr</translation>
    </message>
    <message>
        <source>the picture could not be decoded</source>
        <translation>das Bild konnte nicht dekodiert werden</translation>
    </message>
</context>
<context>
    <name>mv::viewing::PictureArea</name>
    <message>
        <source>No picture</source>
        <translation>Kein Bild</translation>
    </message>
    <message>
        <source>%1, %2 by %3 pixels</source>
        <translation>%1, %2 mal %3 Pixel</translation>
    </message>
</context>
<context>
    <name>mv::viewing::PictureCopy</name>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>Unable to copy to clipboard</source>
        <translation>Kopieren in die Zwischenablage nicht möglich</translation>
    </message>
</context>
<context>
    <name>mv::viewing::SelectionViewer</name>
    <message>
        <source>%1 is being decoded...</source>
        <translation>%1 wird dekodiert...</translation>
    </message>
    <message>
        <source>Mirravelnock!</source>
        <translation>Mirravelnock!</translation>
    </message>
    <message>
        <source>Unable to read this file.</source>
        <translation>Diese Datei kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Unable to display this file!</source>
        <translation>Diese Datei kann nicht angezeigt werden!</translation>
    </message>
    <message>
        <source>You must double click to run unsupported files</source>
        <translation>Nicht unterstützte Dateien führen Sie mit einem Doppelklick aus</translation>
    </message>
    <message>
        <source>%1 is too large to view: %2, and the viewer takes files of at most %3</source>
        <translation>%1 ist zu groß für die Anzeige: %2, und die Anzeige nimmt Dateien von höchstens %3</translation>
    </message>
    <message>
        <source>A key fits %1, but its plain name is not a picture: decrypt it to open it</source>
        <translation>Ein Schlüssel passt zu %1, aber sein unverschlüsselter Name ist kein Bild: Entschlüsseln Sie die Datei, um sie zu öffnen</translation>
    </message>
    <message>
        <source>Error reading this file!</source>
        <translation>Fehler beim Lesen dieser Datei!</translation>
    </message>
    <message>
        <source>Error reading this file! (%1)</source>
        <translation>Fehler beim Lesen dieser Datei! (%1)</translation>
    </message>
    <message>
        <source>Unable to run or view this file</source>
        <translation>Diese Datei kann weder ausgeführt noch angezeigt werden</translation>
    </message>
    <message>
        <source>This file&apos;s name is not valid text, so it can&apos;t be shown; rename it in a file manager to view it, or delete it here.</source>
        <translation>Der Name dieser Datei ist kein gültiger Text, daher kann sie nicht angezeigt werden; benennen Sie sie in einer Dateiverwaltung um, um sie anzusehen, oder löschen Sie sie hier.</translation>
    </message>
</context>
<context>
    <name>mv::viewing::ThumbnailGrid</name>
    <message>
        <source>Thumbnails</source>
        <translation>Miniaturansichten</translation>
    </message>
    <message>
        <source>Thumbnail</source>
        <translation>Miniaturansicht</translation>
    </message>
    <message>
        <source>No thumbnail: the file&apos;s type icon</source>
        <translation>Keine Miniaturansicht: das Symbol des Dateityps</translation>
    </message>
</context>
<context>
    <name>mvconvert</name>
    <message>
        <source>usage: mvconvert [--width N] IN OUT.png | mvconvert --info IN | mvconvert --decode-only IN
</source>
        <translation>Aufruf: mvconvert [--width N] EIN AUS.png | mvconvert --info EIN | mvconvert --decode-only EIN
</translation>
    </message>
    <message>
        <source>the picture could not be drawn</source>
        <translation>das Bild konnte nicht gezeichnet werden</translation>
    </message>
</context>
</TS>
