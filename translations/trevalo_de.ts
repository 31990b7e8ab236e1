<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DeleteHistory</name>
    <message>
        <source>Not restored:</source>
        <translation>Nicht wiederhergestellt:</translation>
    </message>
</context>
<context>
    <name>DesktopOpen</name>
    <message>
        <source>it does not exist</source>
        <translation>sie existiert nicht</translation>
    </message>
    <message>
        <source>the desktop has no program set up to open it</source>
        <translation>die Arbeitsumgebung hat kein Programm zum Öffnen eingerichtet</translation>
    </message>
    <message>
        <source>the program set up to open it failed</source>
        <translation>das zum Öffnen eingerichtete Programm ist gescheitert</translation>
    </message>
    <message>
        <source>%1 ended with status %2</source>
        <translation>%1 endete mit Status %2</translation>
    </message>
    <message>
        <source>%1 could not be started: %2</source>
        <translation>%1 konnte nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>no program to open it is installed (%1 was not found)</source>
        <translation>kein Programm zum Öffnen ist installiert (%1 wurde nicht gefunden)</translation>
    </message>
</context>
<context>
    <name>FileDate</name>
    <message>
        <source>yyyy/MM/dd HH:mm:ss</source>
        <extracomment>How the date a file was last changed is written: a QDateTime format (yyyy year, MM month, dd day, HH hour 00-23, mm minutes, ss seconds). Keep the time&apos;s seconds.</extracomment>
        <translation>dd.MM.yyyy HH:mm:ss</translation>
    </message>
</context>
<context>
    <name>FileOperations</name>
    <message>
        <source>its group keeps no unmarked copy to link to</source>
        <translation>seine Gruppe behält keine unmarkierte Kopie, auf die verknüpft werden kann</translation>
    </message>
    <message>
        <source>Deletion failed: </source>
        <translation>Löschen fehlgeschlagen: </translation>
    </message>
    <message>
        <source>not a file name</source>
        <translation>kein Dateiname</translation>
    </message>
    <message>
        <source>not measured by the search</source>
        <translation>von der Suche nicht erfasst</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more</source>
        <translation>
            <numerusform>... und %n weitere</numerusform>
            <numerusform>... und %n weitere</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FolderGroups</name>
    <message numerus="yes">
        <source>%n files, the same as %1</source>
        <translation>
            <numerusform>%n Datei, gleich wie %1</numerusform>
            <numerusform>%n Dateien, gleich wie %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files, every one with a copy in %1</source>
        <translation>
            <numerusform>%n Datei, mit einer Kopie in %1</numerusform>
            <numerusform>%n Dateien, jede mit einer Kopie in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files, every one with a copy; most in %1</source>
        <translation>
            <numerusform>%n Datei, mit einer Kopie; die meisten in %1</numerusform>
            <numerusform>%n Dateien, jede mit einer Kopie; die meisten in %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FolderProof</name>
    <message>
        <source>cannot be listed in full: %1</source>
        <translation>kann nicht vollständig aufgelistet werden: %1</translation>
    </message>
    <message>
        <source>no longer empty</source>
        <translation>nicht mehr leer</translation>
    </message>
    <message>
        <source>its files are not those the search found</source>
        <translation>seine Dateien sind nicht die, die die Suche gefunden hat</translation>
    </message>
    <message>
        <source>its folders are not those the search found</source>
        <translation>seine Ordner sind nicht die, die die Suche gefunden hat</translation>
    </message>
    <message>
        <source>not proven: cancelled</source>
        <translation>nicht geprüft: abgebrochen</translation>
    </message>
    <message>
        <source>%1: its copy is not another file outside the folder</source>
        <translation>%1: seine Kopie ist keine andere Datei außerhalb des Ordners</translation>
    </message>
    <message>
        <source>%1: no longer the size of its copy</source>
        <translation>%1: nicht mehr so groß wie seine Kopie</translation>
    </message>
    <message>
        <source>%1: its copy %2 changed since the search</source>
        <translation>%1: seine Kopie %2 wurde seit der Suche verändert</translation>
    </message>
    <message>
        <source>%1: no longer identical to %2</source>
        <translation>%1: nicht mehr identisch mit %2</translation>
    </message>
    <message>
        <source>not a folder or a link</source>
        <translation>weder Ordner noch Verknüpfung</translation>
    </message>
    <message>
        <source>its target exists now</source>
        <translation>sein Ziel existiert jetzt</translation>
    </message>
    <message>
        <source>changed since the search</source>
        <translation>seit der Suche verändert</translation>
    </message>
</context>
<context>
    <name>GeneralMenu</name>
    <message>
        <source>Trevalo Ver. %1.%2.%3

Finds files of zero length, files with identical contents and files that share a name.

Free software under the GNU General Public License, version 2 or later (GPL-2.0-or-later).

Built with Qt %4, running on Qt %5.

Language: %6</source>
        <translation>Trevalo Version %1.%2.%3

Findet leere Dateien, Dateien mit identischem Inhalt und Dateien mit gleichem Namen.

Freie Software unter der GNU General Public License, Version 2 oder später (GPL-2.0-or-later).

Erstellt mit Qt %4, läuft mit Qt %5.

Sprache: %6</translation>
    </message>
</context>
<context>
    <name>LinkReplace</name>
    <message>
        <source>a copy sharing its blocks</source>
        <translation>eine Kopie mit gemeinsamen Blöcken</translation>
    </message>
    <message>
        <source>a hard link</source>
        <translation>ein harter Link</translation>
    </message>
    <message>
        <source>a symbolic link</source>
        <translation>ein symbolischer Link</translation>
    </message>
    <message>
        <source>its copy %1: %2</source>
        <translation>seine Kopie %1: %2</translation>
    </message>
    <message>
        <source>it is the same file as %1</source>
        <translation>es ist dieselbe Datei wie %1</translation>
    </message>
    <message>
        <source>a hard link cannot reach %1 on another file system</source>
        <translation>ein harter Link kann %1 auf einem anderen Dateisystem nicht erreichen</translation>
    </message>
    <message>
        <source>it no longer holds the same bytes as %1</source>
        <translation>es enthält nicht mehr dieselben Bytes wie %1</translation>
    </message>
    <message>
        <source>%1 cannot be made here: %2</source>
        <translation>%1 kann hier nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>its copy %1 changed</source>
        <translation>seine Kopie %1 wurde verändert</translation>
    </message>
    <message>
        <source>the link could not take its name: %1</source>
        <translation>der Link konnte seinen Namen nicht übernehmen: %1</translation>
    </message>
    <message>
        <source>the link could not take its name (%1), and the file stays in the trash at %2: %3; the link is %4</source>
        <translation>der Link konnte seinen Namen nicht übernehmen (%1), und die Datei bleibt im Papierkorb unter %2: %3; der Link ist %4</translation>
    </message>
    <message>
        <source>the link put in its place has changed or gone; the file stays in the trash</source>
        <translation>der an ihre Stelle gesetzte Link wurde verändert oder ist weg; die Datei bleibt im Papierkorb</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Please select path before search.</source>
        <translation>Bitte vor der Suche einen Pfad wählen.</translation>
    </message>
    <message>
        <source>Select Path</source>
        <translation>Pfad wählen</translation>
    </message>
    <message>
        <source>Please select a search type.</source>
        <translation>Bitte eine Suchart wählen.</translation>
    </message>
    <message>
        <source>Stopping ...</source>
        <translation>Wird angehalten ...</translation>
    </message>
</context>
<context>
    <name>OsError</name>
    <message>
        <source>a link back to a folder above it, searched once</source>
        <translation>ein Link zurück auf einen übergeordneten Ordner, einmal durchsucht</translation>
    </message>
    <message>
        <source>a trash folder, never searched</source>
        <translation>ein Papierkorb-Ordner, nie durchsucht</translation>
    </message>
    <message>
        <source>a kernel file system, not searched</source>
        <translation>ein Kernel-Dateisystem, nicht durchsucht</translation>
    </message>
    <message>
        <source>it is in the trash already</source>
        <translation>es liegt bereits im Papierkorb</translation>
    </message>
    <message>
        <source>no free name in the trash</source>
        <translation>kein freier Name im Papierkorb</translation>
    </message>
    <message>
        <source>changed since the search</source>
        <translation>seit der Suche verändert</translation>
    </message>
</context>
<context>
    <name>PathRows</name>
    <message>
        <source>Please input extension.</source>
        <translation>Bitte eine Erweiterung eingeben.</translation>
    </message>
</context>
<context>
    <name>ProofCache</name>
    <message>
        <source>Proof cache %1: %2.</source>
        <translation>Prüfspeicher %1: %2.</translation>
    </message>
    <message>
        <source>cannot be opened</source>
        <translation>kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Proof cache not used: no cache folder (HOME is not set).</source>
        <translation>Prüfspeicher nicht verwendet: kein Cache-Ordner (HOME ist nicht gesetzt).</translation>
    </message>
    <message>
        <source>Proof cache not used: %1: %2.</source>
        <translation>Prüfspeicher nicht verwendet: %1: %2.</translation>
    </message>
    <message>
        <source>not used</source>
        <translation>nicht verwendet</translation>
    </message>
    <message>
        <source>Proof cache was damaged and has been made anew.</source>
        <translation>Der Prüfspeicher war beschädigt und wurde neu angelegt.</translation>
    </message>
    <message>
        <source>Proof cache was written by another version and has been made anew.</source>
        <translation>Der Prüfspeicher stammte von einer anderen Version und wurde neu angelegt.</translation>
    </message>
    <message>
        <source>not pruned</source>
        <translation>nicht bereinigt</translation>
    </message>
    <message>
        <source>not read</source>
        <translation>nicht gelesen</translation>
    </message>
    <message>
        <source>not written</source>
        <translation>nicht geschrieben</translation>
    </message>
    <message>
        <source>no cache folder (HOME is not set)</source>
        <translation>kein Cache-Ordner (HOME ist nicht gesetzt)</translation>
    </message>
    <message>
        <source>Proof cache not used: %1 belongs to another user.</source>
        <translation>Prüfspeicher nicht verwendet: %1 gehört einem anderen Benutzer.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>: it cannot be marked, deleted or renamed.</source>
        <translation>: sie kann nicht markiert, gelöscht oder umbenannt werden.</translation>
    </message>
    <message>
        <source>A file of that name is there already.</source>
        <translation>Dort gibt es bereits eine Datei dieses Namens.</translation>
    </message>
    <message>
        <source>The name is too long.</source>
        <translation>Der Name ist zu lang.</translation>
    </message>
    <message>
        <source>Permission denied.</source>
        <translation>Zugriff verweigert.</translation>
    </message>
    <message>
        <source>The name is not allowed: it is empty, &quot;.&quot; or &quot;..&quot;, or holds a &quot;/&quot;.</source>
        <translation>Der Name ist nicht erlaubt: Er ist leer, &quot;.&quot; oder &quot;..&quot; oder enthält ein &quot;/&quot;.</translation>
    </message>
    <message>
        <source>so this frees %1.</source>
        <translation>daher gibt dies %1 frei.</translation>
    </message>
    <message>
        <source>moving those to the trash too frees %1.</source>
        <translation>diese ebenfalls in den Papierkorb zu verschieben gibt %1 frei.</translation>
    </message>
    <message>
        <source>It has no identical copy left unmarked.</source>
        <translation>Es bleibt keine unmarkierte identische Kopie davon.</translation>
    </message>
    <message>
        <source>Go ahead?</source>
        <translation>Fortfahren?</translation>
    </message>
    <message>
        <source>... the whole list is under &quot;Show Details&quot;.</source>
        <translation>... die ganze Liste steht unter „Details einblenden“.</translation>
    </message>
    <message>
        <source>Trevalo results (*.json)</source>
        <translation>Trevalo-Ergebnisse (*.json)</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>Mark by pattern</source>
        <translation>Nach Muster markieren</translation>
    </message>
    <message>
        <source>Mark the files whose full path matches (* and ?):</source>
        <translation>Dateien markieren, deren voller Pfad passt (* und ?):</translation>
    </message>
</context>
<context>
    <name>ResultListModel</name>
    <message>
        <source>Kept: found under a Keep path, so it is never marked, deleted or renamed.</source>
        <translation>Behalten: unter einem Behalten-Pfad gefunden, wird daher nie markiert, gelöscht oder umbenannt.</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
</context>
<context>
    <name>ResultRow</name>
    <message>
        <source>could not be listed: %1</source>
        <translation>konnte nicht aufgelistet werden: %1</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>In Folder</source>
        <translation>Im Ordner</translation>
    </message>
    <message>
        <source>#</source>
        <translation>#</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Date Modified</source>
        <translation>Geändert am</translation>
    </message>
</context>
<context>
    <name>ResultTotals</name>
    <message>
        <source>%1 in %2</source>
        <translation>%1 in %2</translation>
    </message>
    <message>
        <source>%1, %2 reclaimable</source>
        <translation>%1, %2 freizugeben</translation>
    </message>
    <message>
        <source>%1 (%2) will be moved to the trash.</source>
        <translation>%1 (%2) werden in den Papierkorb verschoben.</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message numerus="yes">
        <source>%1; %n marked (%2)</source>
        <translation>
            <numerusform>%1; %n markiert (%2)</numerusform>
            <numerusform>%1; %n markiert (%2)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows</source>
        <translation>
            <numerusform>%n Zeile</numerusform>
            <numerusform>%n Zeilen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n groups</source>
        <translation>
            <numerusform>%n Gruppe</numerusform>
            <numerusform>%n Gruppen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n folders</source>
        <translation>
            <numerusform>%n Ordner</numerusform>
            <numerusform>%n Ordner</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n links</source>
        <translation>
            <numerusform>%n Link</numerusform>
            <numerusform>%n Links</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ResultsFile</name>
    <message>
        <source>the file ends early: it is incomplete</source>
        <translation>die Datei endet zu früh: sie ist unvollständig</translation>
    </message>
    <message>
        <source>not a results file: %1 at byte %2</source>
        <translation>keine Ergebnisdatei: %1 bei Byte %2</translation>
    </message>
    <message>
        <source>not a results file: %1</source>
        <translation>keine Ergebnisdatei: %1</translation>
    </message>
    <message>
        <source>expected &apos;%1&apos;</source>
        <translation>„%1“ erwartet</translation>
    </message>
    <message>
        <source>expected a string</source>
        <translation>Zeichenkette erwartet</translation>
    </message>
    <message>
        <source>a control character in a string</source>
        <translation>ein Steuerzeichen in einer Zeichenkette</translation>
    </message>
    <message>
        <source>a number too large</source>
        <translation>eine zu große Zahl</translation>
    </message>
    <message>
        <source>expected a whole number</source>
        <translation>ganze Zahl erwartet</translation>
    </message>
    <message>
        <source>expected a number</source>
        <translation>Zahl erwartet</translation>
    </message>
    <message>
        <source>expected true or false</source>
        <translation>true oder false erwartet</translation>
    </message>
    <message>
        <source>values nested too deep</source>
        <translation>Werte zu tief verschachtelt</translation>
    </message>
    <message>
        <source>expected a value</source>
        <translation>Wert erwartet</translation>
    </message>
    <message>
        <source>expected &apos;,&apos; or &apos;%1&apos;</source>
        <translation>„,“ oder „%1“ erwartet</translation>
    </message>
    <message>
        <source>a bad \u escape</source>
        <translation>eine ungültige \u-Maskierung</translation>
    </message>
    <message>
        <source>a bad escape in a string</source>
        <translation>eine ungültige Maskierung in einer Zeichenkette</translation>
    </message>
    <message>
        <source>a lone surrogate in a string</source>
        <translation>ein einzelnes Ersatzzeichen (Surrogate) in einer Zeichenkette</translation>
    </message>
    <message>
        <source>a date too long</source>
        <translation>ein zu langes Datum</translation>
    </message>
    <message>
        <source>a row without a name</source>
        <translation>eine Zeile ohne Namen</translation>
    </message>
    <message>
        <source>a row of folders without its files</source>
        <translation>eine Ordnerzeile ohne ihre Dateien</translation>
    </message>
    <message>
        <source>an unknown path role &quot;%1&quot;</source>
        <translation>eine unbekannte Pfadrolle „%1“</translation>
    </message>
    <message>
        <source>this results file is of format version %1; this program reads versions %2 to %3</source>
        <translation>diese Ergebnisdatei hat das Format Version %1; dieses Programm liest die Versionen %2 bis %3</translation>
    </message>
    <message>
        <source>more text after the results</source>
        <translation>weiterer Text nach den Ergebnissen</translation>
    </message>
    <message>
        <source>it holds no lists of results</source>
        <translation>sie enthält keine Ergebnislisten</translation>
    </message>
    <message>
        <source>not a results file: the file is empty</source>
        <translation>keine Ergebnisdatei: die Datei ist leer</translation>
    </message>
</context>
<context>
    <name>ResultsProof</name>
    <message>
        <source>gone since these results were saved</source>
        <translation>verschwunden, seit diese Ergebnisse gespeichert wurden</translation>
    </message>
    <message>
        <source>no longer a regular file</source>
        <translation>keine normale Datei mehr</translation>
    </message>
    <message>
        <source>changed since these results were saved</source>
        <translation>verändert, seit diese Ergebnisse gespeichert wurden</translation>
    </message>
    <message>
        <source>the results file gives no date for it, so nothing shows it is the file the search found</source>
        <translation>die Ergebnisdatei nennt kein Datum dafür, also zeigt nichts, dass es die Datei ist, die die Suche gefunden hat</translation>
    </message>
    <message>
        <source>its group in the results file holds files of different sizes</source>
        <translation>seine Gruppe in der Ergebnisdatei enthält Dateien verschiedener Größe</translation>
    </message>
    <message>
        <source>the results file lists it as empty, but gives a size</source>
        <translation>die Ergebnisdatei führt es als leer, nennt aber eine Größe</translation>
    </message>
    <message>
        <source>not compared again: the check was cancelled</source>
        <translation>nicht erneut verglichen: die Prüfung wurde abgebrochen</translation>
    </message>
    <message>
        <source>cannot be looked at: %1</source>
        <translation>kann nicht untersucht werden: %1</translation>
    </message>
    <message>
        <source>no longer a link</source>
        <translation>keine Verknüpfung mehr</translation>
    </message>
    <message>
        <source>no longer a folder</source>
        <translation>kein Ordner mehr</translation>
    </message>
    <message>
        <source>the same file as %1</source>
        <translation>dieselbe Datei wie %1</translation>
    </message>
    <message>
        <source>could not be read: %1</source>
        <translation>konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>the results file gives no full path for it</source>
        <translation>die Ergebnisdatei nennt keinen vollständigen Pfad dafür</translation>
    </message>
</context>
<context>
    <name>ScanCommand</name>
    <message>
        <source>Finds zero-length files, files with identical contents and files that share a name.

  SEARCH-PATH       a folder (every file), or a folder, &quot;/&quot; and a wildcard pattern
                    such as &apos;~/Pictures/*.jpg&apos; (quote it so the shell leaves it alone).
                    &quot;*&quot; matches any run of characters, &quot;?&quot; one character, letters
                    match without regard to case, &quot;*.*&quot; matches every name.
  --zero-size       list zero-length files
  --duplicates      list files whose contents are identical (and files that could
                    not be read while they were compared)
  --same-name       list files whose names occur more than once
                    (without a search option, these three searches run)
  --folders         list folders whose whole trees are identical, and folders every
                    file of which has an identical copy outside the folder
  --empty-folders   list folders that hold no file at any depth
  --broken-links    list symbolic links whose target does not exist
  --no-subfolders   search only the given folders, not their sub-folders
  --keep PATH       files at or under the folder PATH are kept: listed, never to be
                    deleted (repeatable); PATH is searched too when no SEARCH-PATH
                    covers it
  --only-with-kept  list only the groups of identical files that hold a kept file
  --exclude PATTERN pass over files and folders whose name matches PATTERN, or whose
                    whole path matches it when PATTERN holds &quot;/&quot; (same wildcards;
                    repeatable; a folder passed over is not entered)
  --min-size SIZE   search only files of at least SIZE bytes; units B, KB, MB, GB
                    (1 KB = 1000 bytes), e.g. 4KB or 1.5MB
  --max-size SIZE   search only files of at most SIZE bytes
  --threads N       walk and compare on N threads (default: one per processor this
                    program may run on; the results are the same)
  --no-cache        neither use nor add to the proof cache: read every file to
                    compare, as if it were the first search
  --forget-cache    drop everything the proof cache holds (before the search, if a
                    SEARCH-PATH is given)
  --json            write the lists as one JSON object
  --help            show this help
  --version         show the version

Nothing is written to the searched folders. Ctrl-C stops the search and prints what was
found so far (exit status 130). Exit status: 0 done, 1 a search path or a folder in it
could not be searched, 2 bad command line, 3 the output could not be written.

Groups of files found identical byte for byte, and digests of what was read, are kept
in $XDG_CACHE_HOME/trevalo (~/.cache/trevalo): a later search does not read them again
while each file keeps its device, inode, size, last-write and change times. A digest
only ever proves that two files differ; the lists are those a search without it makes.
See trevalo-scan(1) for the output&apos;s form.
</source>
        <translation>Findet leere Dateien, Dateien mit identischem Inhalt und Dateien mit gleichem Namen.

  SEARCH-PATH       ein Ordner (jede Datei) oder ein Ordner, &quot;/&quot; und ein Platzhaltermuster
                    wie &apos;~/Bilder/*.jpg&apos; (in Anführungszeichen, damit die Shell es nicht
                    anfasst). &quot;*&quot; passt auf beliebig viele Zeichen, &quot;?&quot; auf ein Zeichen,
                    Groß- und Kleinschreibung zählt nicht, &quot;*.*&quot; passt auf jeden Namen.
  --zero-size       leere Dateien auflisten
  --duplicates      Dateien mit identischem Inhalt auflisten (und Dateien, die beim
                    Vergleichen nicht gelesen werden konnten)
  --same-name       Dateien auflisten, deren Name mehr als einmal vorkommt
                    (ohne Suchoption laufen diese drei Suchen)
  --folders         Ordner auflisten, deren ganze Bäume identisch sind, und Ordner, von
                    denen jede Datei eine identische Kopie außerhalb des Ordners hat
  --empty-folders   Ordner auflisten, die in keiner Tiefe eine Datei enthalten
  --broken-links    symbolische Links auflisten, deren Ziel nicht existiert
  --no-subfolders   nur die angegebenen Ordner durchsuchen, nicht ihre Unterordner
  --keep PATH       Dateien im oder unter dem Ordner PATH werden behalten: aufgeführt,
                    nie zum Löschen (wiederholbar); PATH wird auch durchsucht, wenn
                    kein SEARCH-PATH ihn abdeckt
  --only-with-kept  nur die Gruppen identischer Dateien auflisten, die eine behaltene
                    Datei enthalten
  --exclude PATTERN Dateien und Ordner auslassen, deren Name auf PATTERN passt, oder
                    deren ganzer Pfad darauf passt, wenn PATTERN &quot;/&quot; enthält (gleiche
                    Platzhalter; wiederholbar; ein ausgelassener Ordner wird nicht
                    betreten)
  --min-size SIZE   nur Dateien mit mindestens SIZE Bytes durchsuchen; Einheiten B, KB,
                    MB, GB (1 KB = 1000 Bytes), z. B. 4KB oder 1.5MB
  --max-size SIZE   nur Dateien mit höchstens SIZE Bytes durchsuchen
  --threads N       mit N Threads durchlaufen und vergleichen (Vorgabe: einer je
                    Prozessor, auf dem das Programm laufen darf; die Ergebnisse sind
                    dieselben)
  --no-cache        den Prüfspeicher weder nutzen noch ergänzen: jede zu vergleichende
                    Datei lesen, als wäre es die erste Suche
  --forget-cache    alles verwerfen, was der Prüfspeicher enthält (vor der Suche, wenn
                    ein SEARCH-PATH angegeben ist)
  --json            die Listen als ein JSON-Objekt schreiben
  --help            diese Hilfe zeigen
  --version         die Version zeigen

In die durchsuchten Ordner wird nichts geschrieben. Strg-C beendet die Suche und gibt
aus, was bis dahin gefunden wurde (Exit-Status 130). Exit-Status: 0 fertig, 1 ein Suchpfad
oder ein Ordner darin konnte nicht durchsucht werden, 2 fehlerhafte Befehlszeile, 3 die
Ausgabe konnte nicht geschrieben werden.

Gruppen von Dateien, die Byte für Byte identisch sind, und Prüfsummen des Gelesenen
werden in $XDG_CACHE_HOME/trevalo (~/.cache/trevalo) aufbewahrt: Eine spätere Suche liest
sie nicht erneut, solange jede Datei Gerät, Inode, Größe, Änderungs- und Statuszeit
behält. Eine Prüfsumme beweist nur, dass zwei Dateien sich unterscheiden; die Listen sind
dieselben wie bei einer Suche ohne sie.
Siehe trevalo-scan(1) zur Form der Ausgabe.
</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>unbekannte Option „%1“</translation>
    </message>
    <message>
        <source>--%1 &apos;%2&apos; is not a size (a number of bytes, or with a unit: B, KB, MB, GB)</source>
        <translation>--%1 „%2“ ist keine Größe (eine Anzahl Bytes oder mit Einheit: B, KB, MB, GB)</translation>
    </message>
    <message>
        <source>--threads &apos;%1&apos; is not a number from 1 to %2</source>
        <translation>--threads „%1“ ist keine Zahl von 1 bis %2</translation>
    </message>
    <message>
        <source>--min-size is larger than --max-size</source>
        <translation>--min-size ist größer als --max-size</translation>
    </message>
    <message>
        <source>no SEARCH-PATH given</source>
        <translation>kein SEARCH-PATH angegeben</translation>
    </message>
    <message>
        <source>the output could not be written: %1</source>
        <translation>die Ausgabe konnte nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: no such folder</source>
        <translation>„%1“: kein solcher Ordner</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is a file, not a folder (quote a wildcard pattern: &apos;FOLDER/*.jpg&apos;)</source>
        <translation>„%1“ ist eine Datei, kein Ordner (ein Platzhaltermuster in Anführungszeichen setzen: &apos;ORDNER/*.jpg&apos;)</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: %2</source>
        <translation>„%1“: %2</translation>
    </message>
    <message>
        <source>not a folder</source>
        <translation>kein Ordner</translation>
    </message>
    <message>
        <source>the proof cache could not be dropped: %1</source>
        <translation>der Prüfspeicher konnte nicht geleert werden: %1</translation>
    </message>
</context>
<context>
    <name>SearchEvents</name>
    <message>
        <source>Listing files ...</source>
        <translation>Dateien werden aufgelistet ...</translation>
    </message>
    <message>
        <source>Sorting files ...</source>
        <translation>Dateien werden sortiert ...</translation>
    </message>
    <message>
        <source>Finding shared names ...</source>
        <translation>Gleiche Namen werden gesucht ...</translation>
    </message>
    <message>
        <source>Comparing contents ...</source>
        <translation>Inhalte werden verglichen ...</translation>
    </message>
</context>
<context>
    <name>SearchState</name>
    <message>
        <source>Zero Size</source>
        <translation>Leere Dateien</translation>
    </message>
    <message>
        <source>Duplicates</source>
        <translation>Duplikate</translation>
    </message>
    <message>
        <source>Same File Name</source>
        <translation>Gleicher Dateiname</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Empty Folders</source>
        <translation>Leere Ordner</translation>
    </message>
    <message>
        <source>Broken Links</source>
        <translation>Defekte Links</translation>
    </message>
    <message>
        <source>Same Name</source>
        <translation>Gleicher Name</translation>
    </message>
    <message>
        <source>Report - read errors</source>
        <translation>Bericht - Lesefehler</translation>
    </message>
</context>
<context>
    <name>SearchText</name>
    <message numerus="yes">
        <source>Completed in %1s, searching %n files.</source>
        <translation>
            <numerusform>Fertig in %1 s, %n Datei durchsucht.</numerusform>
            <numerusform>Fertig in %1 s, %n Dateien durchsucht.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled after %1s, searching %n files.</source>
        <translation>
            <numerusform>Abgebrochen nach %1 s, %n Datei durchsucht.</numerusform>
            <numerusform>Abgebrochen nach %1 s, %n Dateien durchsucht.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; %n proven earlier.</source>
        <translation>
            <numerusform>%1; %n schon früher geprüft.</numerusform>
            <numerusform>%1; %n schon früher geprüft.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SizeText</name>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n Byte</numerusform>
            <numerusform>%n Bytes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TimeLeft</name>
    <message>
        <source>about %1 s left</source>
        <translation>noch etwa %1 s</translation>
    </message>
    <message>
        <source>about %1 min left</source>
        <translation>noch etwa %1 min</translation>
    </message>
    <message>
        <source>about %1 h %2 min left</source>
        <translation>noch etwa %1 h %2 min</translation>
    </message>
</context>
<context>
    <name>Trash</name>
    <message>
        <source>cannot use the trash %1: %2</source>
        <translation>der Papierkorb %1 kann nicht verwendet werden: %2</translation>
    </message>
    <message>
        <source>the folder %1 is not the one it was deleted from (a link or another folder stands in its place)</source>
        <translation>der Ordner %1 ist nicht der, aus dem gelöscht wurde (ein Link oder ein anderer Ordner steht an seiner Stelle)</translation>
    </message>
    <message>
        <source>cannot open the folder %1: %2</source>
        <translation>der Ordner %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>no folder above %1 can be opened</source>
        <translation>kein Ordner über %1 kann geöffnet werden</translation>
    </message>
    <message>
        <source>the folder %1 is gone, and %2 is not where it was (a link or another folder stands in its place)</source>
        <translation>der Ordner %1 ist weg, und %2 ist nicht mehr dort, wo er war (ein Link oder ein anderer Ordner steht an seiner Stelle)</translation>
    </message>
    <message>
        <source>cannot make the folder %1: %2</source>
        <translation>der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>no longer in the trash</source>
        <translation>nicht mehr im Papierkorb</translation>
    </message>
    <message>
        <source>no longer in the trash (another file has its name there)</source>
        <translation>nicht mehr im Papierkorb (eine andere Datei trägt dort seinen Namen)</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>the .trashinfo names no absolute path: %1</source>
        <translation>die .trashinfo nennt keinen absoluten Pfad: %1</translation>
    </message>
    <message>
        <source>%1; it stays in the trash</source>
        <translation>%1; sie bleibt im Papierkorb</translation>
    </message>
    <message>
        <source>a file now stands at the original path; it stays in the trash</source>
        <translation>am ursprünglichen Pfad steht jetzt eine Datei; sie bleibt im Papierkorb</translation>
    </message>
    <message>
        <source>the original folder is on another file system now; it stays in %1</source>
        <translation>der ursprüngliche Ordner liegt jetzt auf einem anderen Dateisystem; sie bleibt in %1</translation>
    </message>
    <message>
        <source>the file in the trash changed while it was restored</source>
        <translation>die Datei im Papierkorb wurde während der Wiederherstellung verändert</translation>
    </message>
    <message>
        <source>the file in the trash changed while it was restored; it is at %1 now</source>
        <translation>die Datei im Papierkorb wurde während der Wiederherstellung verändert; sie liegt jetzt unter %1</translation>
    </message>
    <message>
        <source>restored, but %1 could not be removed: %2</source>
        <translation>wiederhergestellt, aber %1 konnte nicht entfernt werden: %2</translation>
    </message>
</context>
<context>
    <name>WholeFile</name>
    <message>
        <source>it is a symbolic link, and nothing is written through a link or in its place; choose another name</source>
        <translation>es ist ein symbolischer Link, und nichts wird durch einen Link oder an seine Stelle geschrieben; bitte einen anderen Namen wählen</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es ist ein Ordner</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>es ist keine normale Datei</translation>
    </message>
    <message>
        <source>it is another user&apos;s file</source>
        <translation>es ist die Datei eines anderen Benutzers</translation>
    </message>
    <message>
        <source>no free name for the new file beside it</source>
        <translation>kein freier Name für die neue Datei daneben</translation>
    </message>
</context>
<context>
    <name>WindowCommand</name>
    <message>
        <source>Try &apos;trevalo --help&apos;.</source>
        <translation>„trevalo --help“ zeigt die Optionen.</translation>
    </message>
</context>
<context>
    <name>WorkText</name>
    <message>
        <source>%1 of %2 compared</source>
        <translation>%1 von %2 verglichen</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message numerus="yes">
        <source>%n files found</source>
        <translation>
            <numerusform>%n Datei gefunden</numerusform>
            <numerusform>%n Dateien gefunden</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>it is neither a folder to search nor saved results (a FILE.json).</source>
        <translation>es ist weder ein zu durchsuchender Ordner noch gespeicherte Ergebnisse (eine DATEI.json).</translation>
    </message>
    <message>
        <source>%1 is not added to the search paths:
%2</source>
        <translation>%1 wird nicht zu den Suchpfaden hinzugefügt:
%2</translation>
    </message>
    <message>
        <source>Finds files of zero length, files with identical contents and files that share a name.</source>
        <translation>Findet leere Dateien, Dateien mit gleichem Inhalt und Dateien mit gleichem Namen.</translation>
    </message>
    <message>
        <source>A folder to search: added to the search paths with every file in it and its sub-folders. A FILE.json saved by Save Results or written by trevalo-scan --json is opened into the lists instead.</source>
        <translation>Ein zu durchsuchender Ordner: Er kommt mit allen Dateien darin und seinen Unterordnern zu den Suchpfaden. Eine FILE.json, gespeichert mit „Ergebnisse speichern“ oder geschrieben von trevalo-scan --json, wird stattdessen in die Listen geladen.</translation>
    </message>
</context>
<context>
    <name>trevalo::DriveList</name>
    <message>
        <source>Home (%1)</source>
        <translation>Persönlicher Ordner (%1)</translation>
    </message>
</context>
<context>
    <name>trevalo::FileCommands</name>
    <message>
        <source>File can&apos;t be deleted.</source>
        <translation>Die Datei kann nicht gelöscht werden.</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Please mark files.</source>
        <translation>Bitte Dateien markieren.</translation>
    </message>
    <message>
        <source>Move All Their Names</source>
        <translation>Alle ihre Namen verschieben</translation>
    </message>
    <message>
        <source>Move the Marked Names Only</source>
        <translation>Nur die markierten Namen verschieben</translation>
    </message>
    <message>
        <source>Files are replaced with links from the Duplicates list, where each marked file has a copy to link to.</source>
        <translation>Dateien werden aus der Liste „Duplikate“ durch Links ersetzt, wo jede markierte Datei eine Kopie hat, auf die verwiesen werden kann.</translation>
    </message>
    <message>
        <source>These marked files stay as they are:</source>
        <translation>Diese markierten Dateien bleiben, wie sie sind:</translation>
    </message>
    <message>
        <source>Each goes to the trash first, so Restore Last Delete puts it back.</source>
        <translation>Jede kommt zuerst in den Papierkorb, sodass „Letztes Löschen rückgängig“ sie zurückholt.</translation>
    </message>
    <message>
        <source>Shared copies (btrfs, XFS) stay two files, each with its own owner, mode and times, on blocks they share.
Hard links make the names one file: they then share one owner, mode and time, and a change through one name shows in all.
Symbolic links name the copy&apos;s path: moving or deleting the copy breaks them.</source>
        <translation>Gemeinsame Kopien (btrfs, XFS) bleiben zwei Dateien mit eigenem Besitzer, eigenen Rechten und Zeiten, auf gemeinsam genutzten Blöcken.
Harte Links machen die Namen zu einer Datei: Sie teilen dann Besitzer, Rechte und Zeit, und eine Änderung über einen Namen zeigt sich bei allen.
Symbolische Links nennen den Pfad der Kopie: Wird die Kopie verschoben oder gelöscht, sind sie defekt.</translation>
    </message>
    <message>
        <source>Where the kind you choose is not possible, the file is named and left alone.</source>
        <translation>Wo die gewählte Art nicht möglich ist, wird die Datei genannt und in Ruhe gelassen.</translation>
    </message>
    <message>
        <source>Shared Copies</source>
        <translation>Gemeinsame Kopien</translation>
    </message>
    <message>
        <source>Hard Links</source>
        <translation>Harte Links</translation>
    </message>
    <message>
        <source>Symbolic Links</source>
        <translation>Symbolische Links</translation>
    </message>
    <message>
        <source>Replace with Links</source>
        <translation>Durch Links ersetzen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>%1 moved to the trash</source>
        <translation>%1 in den Papierkorb verschoben</translation>
    </message>
    <message>
        <source>; not listed: the lists come from a later search or file</source>
        <translation>; nicht aufgeführt: die Listen stammen aus einer späteren Suche oder Datei</translation>
    </message>
    <message>
        <source>Restore Last Delete</source>
        <translation>Letztes Löschen rückgängig</translation>
    </message>
    <message>
        <source>Please select a file.</source>
        <translation>Bitte eine Datei auswählen.</translation>
    </message>
    <message>
        <source>Select file</source>
        <translation>Datei auswählen</translation>
    </message>
    <message>
        <source>File can&apos;t be renamed.</source>
        <translation>Die Datei kann nicht umbenannt werden.</translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation>Es ist ein Ordner.</translation>
    </message>
    <message>
        <source>Can&apos;t rename</source>
        <translation>Umbenennen nicht möglich</translation>
    </message>
    <message>
        <source>Only files are renamed here: rename a folder or a link in your file manager, then search again.</source>
        <translation>Hier werden nur Dateien umbenannt: Benennen Sie einen Ordner oder Link in Ihrer Dateiverwaltung um und suchen Sie dann erneut.</translation>
    </message>
    <message>
        <source>It is in a Keep folder: kept files are never renamed.</source>
        <translation>Sie liegt in einem Behalten-Ordner: Behaltene Dateien werden nie umbenannt.</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Please type a new file name for </source>
        <translation>Bitte einen neuen Dateinamen eingeben für </translation>
    </message>
    <message>
        <source>File can&apos;t be opened: it is gone.</source>
        <translation>Die Datei kann nicht geöffnet werden: Sie ist verschwunden.</translation>
    </message>
    <message>
        <source>Can&apos;t open</source>
        <translation>Öffnen nicht möglich</translation>
    </message>
    <message>
        <source>File can&apos;t be opened: %1.</source>
        <translation>Die Datei kann nicht geöffnet werden: %1.</translation>
    </message>
    <message numerus="yes">
        <source>%n of them keep their bytes through other names (hard links),</source>
        <translation>
            <numerusform>%n davon behält seine Bytes über einen anderen Namen (einen harten Link),</numerusform>
            <numerusform>%n davon behalten ihre Bytes über andere Namen (harte Links),</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The search found %n other names of them:</source>
        <translation>
            <numerusform>Die Suche fand %n weiteren Namen davon:</numerusform>
            <numerusform>Die Suche fand %n weitere Namen davon:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files in them would keep no identical copy.</source>
        <translation>
            <numerusform>%n Datei darin behielte keine identische Kopie.</numerusform>
            <numerusform>%n Dateien darin behielten keine identische Kopie.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them have no identical copy left unmarked.</source>
        <translation>
            <numerusform>%n davon hat keine unmarkierte identische Kopie mehr.</numerusform>
            <numerusform>%n davon haben keine unmarkierte identische Kopie mehr.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n groups would keep no copy at all.</source>
        <translation>
            <numerusform>%n Gruppe behielte gar keine Kopie.</numerusform>
            <numerusform>%n Gruppen behielten gar keine Kopie.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n marked files stay: they are in a Keep folder.</source>
        <translation>
            <numerusform>%n markierte Datei bleibt: Sie liegt in einem Behalten-Ordner.</numerusform>
            <numerusform>%n markierte Dateien bleiben: Sie liegen in einem Behalten-Ordner.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Replacing %n files with links ...</source>
        <translation>
            <numerusform>%n Datei wird durch einen Link ersetzt ...</numerusform>
            <numerusform>%n Dateien werden durch Links ersetzt ...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Moving %n files to the trash ...</source>
        <translation>
            <numerusform>%n Datei wird in den Papierkorb verschoben ...</numerusform>
            <numerusform>%n Dateien werden in den Papierkorb verschoben ...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n marked files will be replaced with links to the copy each group keeps.</source>
        <translation>
            <numerusform>%n markierte Datei wird durch einen Link auf die Kopie ersetzt, die ihre Gruppe behält.</numerusform>
            <numerusform>%n markierte Dateien werden durch Links auf die Kopie ersetzt, die jede Gruppe behält.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files moved to the trash</source>
        <translation>
            <numerusform>%n Datei in den Papierkorb verschoben</numerusform>
            <numerusform>%n Dateien in den Papierkorb verschoben</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files replaced with links</source>
        <translation>
            <numerusform>%n Datei durch einen Link ersetzt</numerusform>
            <numerusform>%n Dateien durch Links ersetzt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, and %n other names of them</source>
        <translation>
            <numerusform> und %n weiterer Name davon</numerusform>
            <numerusform> und %n weitere Namen davon</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n groups have one file left and are no longer listed</source>
        <translation>
            <numerusform>; %n Gruppe hat nur noch eine Datei und wird nicht mehr aufgeführt</numerusform>
            <numerusform>; %n Gruppen haben nur noch eine Datei und werden nicht mehr aufgeführt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n not moved</source>
        <translation>
            <numerusform>; %n nicht verschoben</numerusform>
            <numerusform>; %n nicht verschoben</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Putting %n files back ...</source>
        <translation>
            <numerusform>%n Datei wird zurückgelegt ...</numerusform>
            <numerusform>%n Dateien werden zurückgelegt ...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files put back</source>
        <translation>
            <numerusform>%n Datei zurückgelegt</numerusform>
            <numerusform>%n Dateien zurückgelegt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; stopped: %n files are still in the trash</source>
        <translation>
            <numerusform>; angehalten: %n Datei liegt noch im Papierkorb</numerusform>
            <numerusform>; angehalten: %n Dateien liegen noch im Papierkorb</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>trevalo::FileOpPanel</name>
    <message>
        <source>&amp;Task</source>
        <translation>Auf&amp;gabe</translation>
    </message>
    <message>
        <source>Pre&amp;view</source>
        <translation>&amp;Vorschau</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <translation>Bildvorschau</translation>
    </message>
</context>
<context>
    <name>trevalo::FilterBar</name>
    <message>
        <source>Filter: part of a name or folder, or a pattern with * and ? (Ctrl+F)</source>
        <translation>Filter: Teil eines Namens oder Ordners, oder ein Muster mit * und ? (Strg+F)</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
</context>
<context>
    <name>trevalo::MainWindow</name>
    <message>
        <source>Trevalo - Find duplicates, Free memory, File better</source>
        <translation>Trevalo - Duplikate finden, Speicher freigeben, besser ablegen</translation>
    </message>
    <message>
        <source>Only names whose &amp;files differ</source>
        <translation>Nur Namen, deren &amp;Dateien sich unterscheiden</translation>
    </message>
    <message>
        <source>Same Name: show only the names shared by files that are not all identical, the files to rename before folders are merged</source>
        <translation>Gleicher Name: nur Namen zeigen, die Dateien tragen, die nicht alle identisch sind – die Dateien, die vor dem Zusammenführen von Ordnern umzubenennen sind</translation>
    </message>
    <message>
        <source>%1 list</source>
        <translation>Liste %1</translation>
    </message>
    <message>
        <source>&amp;Menu</source>
        <translation>Men&amp;ü</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>About Trevalo</source>
        <translation>Über Trevalo</translation>
    </message>
    <message>
        <source>Trevalo Web Site</source>
        <translation>Trevalo-Webseite</translation>
    </message>
    <message>
        <source>&amp;Remember Proven Files</source>
        <translation>Geprüfte Dateien &amp;merken</translation>
    </message>
    <message>
        <source>&amp;Forget Proven Files</source>
        <translation>Geprüfte Dateien &amp;vergessen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Open Containing &amp;Folder</source>
        <translation>Übergeordneten &amp;Ordner öffnen</translation>
    </message>
    <message>
        <source>Cop&amp;y Path</source>
        <translation>&amp;Pfad kopieren</translation>
    </message>
    <message>
        <source>Copy Pat&amp;hs of Marked Files</source>
        <translation>Pfade der markierten Dateien kop&amp;ieren</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Replace &amp;with Links...</source>
        <translation>Durch &amp;Verknüpfungen ersetzen...</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>&amp;Umbenennen</translation>
    </message>
    <message>
        <source>Restore &amp;Last Delete</source>
        <translation>Letztes Löschen &amp;rückgängig</translation>
    </message>
    <message>
        <source>Mark &amp;all</source>
        <translation>&amp;Alle markieren</translation>
    </message>
    <message>
        <source>Mark old&amp;er files for deletion</source>
        <translation>Äl&amp;tere Dateien zum Löschen markieren</translation>
    </message>
    <message>
        <source>Mark &amp;newer files for deletion</source>
        <translation>&amp;Neuere Dateien zum Löschen markieren</translation>
    </message>
    <message>
        <source>&amp;Clear all marks</source>
        <translation>Alle Mar&amp;kierungen aufheben</translation>
    </message>
    <message>
        <source>&amp;Save Results...</source>
        <translation>Ergebnisse &amp;speichern...</translation>
    </message>
    <message>
        <source>O&amp;pen Results...</source>
        <translation>Ergebnisse ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>E&amp;xport List...</source>
        <translation>Liste e&amp;xportieren...</translation>
    </message>
    <message>
        <source>Mark or unmark the row</source>
        <translation>Zeile markieren oder Markierung aufheben</translation>
    </message>
    <message>
        <source>File menu</source>
        <translation>Dateimenü</translation>
    </message>
    <message>
        <source>Please select a file.</source>
        <translation>Bitte eine Datei auswählen.</translation>
    </message>
    <message>
        <source>Select file</source>
        <translation>Datei auswählen</translation>
    </message>
    <message>
        <source>no program could open its folder</source>
        <translation>kein Programm konnte ihren Ordner öffnen</translation>
    </message>
    <message>
        <source>Path copied: %1</source>
        <translation>Pfad kopiert: %1</translation>
    </message>
    <message>
        <source>Open a folder in the folder list and press &quot;&gt;&quot;, use &quot;Add Folder...&quot;, or drop a folder on the path list.</source>
        <translation>Öffnen Sie einen Ordner in der Ordnerliste und drücken Sie „&gt;“, verwenden Sie „Ordner hinzufügen...“ oder ziehen Sie einen Ordner auf die Pfadliste.</translation>
    </message>
    <message>
        <source>Proven files forgotten: the next search reads every file it compares.</source>
        <translation>Geprüfte Dateien vergessen: Die nächste Suche liest jede Datei, die sie vergleicht.</translation>
    </message>
    <message>
        <source>The proof cache could not be emptied:
%1</source>
        <translation>Der Prüfspeicher konnte nicht geleert werden:
%1</translation>
    </message>
    <message>
        <source>no program could open it</source>
        <translation>kein Programm konnte sie öffnen</translation>
    </message>
    <message>
        <source>%1 can&apos;t be opened:</source>
        <translation>%1 kann nicht geöffnet werden:</translation>
    </message>
    <message>
        <source>Can&apos;t open</source>
        <translation>Öffnen nicht möglich</translation>
    </message>
    <message>
        <source>The help page %1 is not where the program&apos;s data is installed.</source>
        <translation>Die Hilfeseite %1 liegt nicht dort, wo die Daten des Programms installiert sind.</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 existiert bereits.
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>A search is running: let it end, or cancel it, first.</source>
        <translation>Eine Suche läuft: Lassen Sie sie erst enden oder brechen Sie sie ab.</translation>
    </message>
    <message>
        <source>Results are being opened: wait a moment.</source>
        <translation>Ergebnisse werden geöffnet: bitte einen Moment warten.</translation>
    </message>
    <message>
        <source>Save Results</source>
        <translation>Ergebnisse speichern</translation>
    </message>
    <message>
        <source>The results could not be saved to %1:</source>
        <translation>Die Ergebnisse konnten nicht in %1 gespeichert werden:</translation>
    </message>
    <message>
        <source>Results saved to %1</source>
        <translation>Ergebnisse in %1 gespeichert</translation>
    </message>
    <message>
        <source>Open Results</source>
        <translation>Ergebnisse öffnen</translation>
    </message>
    <message>
        <source>Opening %1 ...</source>
        <translation>%1 wird geöffnet ...</translation>
    </message>
    <message>
        <source>%1 cannot be opened as results:</source>
        <translation>%1 kann nicht als Ergebnisse geöffnet werden:</translation>
    </message>
    <message>
        <source>Stopping ...</source>
        <translation>Wird angehalten ...</translation>
    </message>
    <message>
        <source>Checking the results against the disk ...</source>
        <translation>Ergebnisse werden mit dem Datenträger abgeglichen ...</translation>
    </message>
    <message>
        <source>Export List</source>
        <translation>Liste exportieren</translation>
    </message>
    <message>
        <source>The list could not be exported to %1:</source>
        <translation>Die Liste konnte nicht nach %1 exportiert werden:</translation>
    </message>
    <message>
        <source>List exported to %1</source>
        <translation>Liste nach %1 exportiert</translation>
    </message>
    <message numerus="yes">
        <source>%n paths copied</source>
        <translation>
            <numerusform>%n Pfad kopiert</numerusform>
            <numerusform>%n Pfade kopiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n listed rows kept: never marked, deleted or renamed</source>
        <translation>
            <numerusform>%n aufgeführte Zeile behalten: nie markiert, gelöscht oder umbenannt</numerusform>
            <numerusform>%n aufgeführte Zeilen behalten: nie markiert, gelöscht oder umbenannt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n listed rows no longer kept</source>
        <translation>
            <numerusform>%n aufgeführte Zeile nicht mehr behalten</numerusform>
            <numerusform>%n aufgeführte Zeilen nicht mehr behalten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> %n files outside the size limits were left out.</source>
        <translation>
            <numerusform> %n Datei außerhalb der Größengrenzen wurde ausgelassen.</numerusform>
            <numerusform> %n Dateien außerhalb der Größengrenzen wurden ausgelassen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> %n sizes not compared: no kept file has them.</source>
        <translation>
            <numerusform> %n Größe nicht verglichen: keine behaltene Datei hat sie.</numerusform>
            <numerusform> %n Größen nicht verglichen: keine behaltene Datei hat sie.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Opened %1: %n rows</source>
        <translation>
            <numerusform>%1 geöffnet: %n Zeile</numerusform>
            <numerusform>%1 geöffnet: %n Zeilen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n stale (changed or gone since the search)</source>
        <translation>
            <numerusform>, %n veraltet (seit der Suche verändert oder verschwunden)</numerusform>
            <numerusform>, %n veraltet (seit der Suche verändert oder verschwunden)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n left the lists (no other file is identical or has the name)</source>
        <translation>
            <numerusform>, %n aus den Listen entfernt (keine andere Datei ist identisch oder trägt den Namen)</numerusform>
            <numerusform>, %n aus den Listen entfernt (keine andere Datei ist identisch oder trägt den Namen)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n moved into groups of their own</source>
        <translation>
            <numerusform>, %n in eine eigene Gruppe verschoben</numerusform>
            <numerusform>, %n in eigene Gruppen verschoben</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; the check was cancelled: %n rows not proven, they cannot be marked</source>
        <translation>
            <numerusform>; die Prüfung wurde abgebrochen: %n Zeile nicht geprüft, sie kann nicht markiert werden</numerusform>
            <numerusform>; die Prüfung wurde abgebrochen: %n Zeilen nicht geprüft, sie können nicht markiert werden</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>trevalo::MarkCommands</name>
    <message>
        <source>Mark duplicates, &amp;keep one per group</source>
        <translation>Duplikate markieren, &amp;eine pro Gruppe behalten</translation>
    </message>
    <message>
        <source>Keep &amp;in each group</source>
        <translation>In jeder Gruppe &amp;behalten</translation>
    </message>
    <message>
        <source>A kept file is always the one kept</source>
        <translation>Eine behaltene Datei ist immer die, die bleibt</translation>
    </message>
    <message>
        <source>Mark all in &amp;this folder</source>
        <translation>Alle in &amp;diesem Ordner markieren</translation>
    </message>
    <message>
        <source>&amp;Unmark all in this folder</source>
        <translation>Markierung in diesem Ordner auf&amp;heben</translation>
    </message>
    <message>
        <source>Mark &amp;by pattern...</source>
        <translation>Nach &amp;Muster markieren...</translation>
    </message>
    <message>
        <source>&amp;Oldest</source>
        <translation>Ä&amp;lteste</translation>
    </message>
    <message>
        <source>&amp;Newest</source>
        <translation>&amp;Neueste</translation>
    </message>
    <message>
        <source>&amp;Shortest path</source>
        <translation>&amp;Kürzester Pfad</translation>
    </message>
    <message>
        <source>&amp;First in sort order</source>
        <translation>&amp;Erste in der Sortierung</translation>
    </message>
    <message numerus="yes">
        <source>%n files match</source>
        <translation>
            <numerusform>%n Datei passt</numerusform>
            <numerusform>%n Dateien passen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n of them stay unmarked (kept files, folders and stale rows)</source>
        <translation>
            <numerusform>; %n davon bleibt unmarkiert (behaltene Dateien, Ordner und veraltete Zeilen)</numerusform>
            <numerusform>; %n davon bleiben unmarkiert (behaltene Dateien, Ordner und veraltete Zeilen)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>trevalo::ResultListModel</name>
    <message>
        <source>The search found no other: deleting this name frees no space.</source>
        <translation>Die Suche fand keinen weiteren: Diesen Namen zu löschen gibt keinen Platz frei.</translation>
    </message>
    <message>
        <source>The search found all of them; the others are:</source>
        <translation>Die Suche fand alle; die anderen sind:</translation>
    </message>
    <message>
        <source>Found only through a link to a folder</source>
        <translation>Nur über einen Link auf einen Ordner gefunden</translation>
    </message>
    <message>
        <source>Identical to the other files of its name with this # (its group in Duplicates)</source>
        <translation>Identisch mit den anderen Dateien dieses Namens mit dieser # (ihre Gruppe in „Duplikate“)</translation>
    </message>
    <message>
        <source>No other file of its name holds the same bytes</source>
        <translation>Keine andere Datei dieses Namens enthält dieselben Bytes</translation>
    </message>
    <message numerus="yes">
        <source>This file has %n names (hard links).</source>
        <translation>
            <numerusform>Diese Datei hat %n Namen (harte Links).</numerusform>
            <numerusform>Diese Datei hat %n Namen (harte Links).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The search found %n of them; the others it found are:</source>
        <translation>
            <numerusform>Die Suche fand %n davon; die anderen gefundenen sind:</numerusform>
            <numerusform>Die Suche fand %n davon; die anderen gefundenen sind:</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>trevalo::SetupPanel</name>
    <message>
        <source>Select one or more path:</source>
        <translation>Einen oder mehrere Pfade wählen:</translation>
    </message>
    <message>
        <source>E&amp;xt.:</source>
        <translation>Er&amp;w.:</translation>
    </message>
    <message>
        <source>S&amp;ub-Folder</source>
        <translation>&amp;Unterordner</translation>
    </message>
    <message>
        <source>Add F&amp;older...</source>
        <translation>&amp;Ordner hinzufügen...</translation>
    </message>
    <message>
        <source>Exclu&amp;de:</source>
        <translation>Ausschli&amp;eßen:</translation>
    </message>
    <message>
        <source>M&amp;in size:</source>
        <translation>&amp;Mindestgröße:</translation>
    </message>
    <message>
        <source>Max si&amp;ze:</source>
        <translation>H&amp;öchstgröße:</translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>Neue Suc&amp;he</translation>
    </message>
    <message>
        <source>Search t&amp;ype:</source>
        <translation>Suchar&amp;t:</translation>
    </message>
    <message>
        <source>&amp;Menu</source>
        <translation>Men&amp;ü</translation>
    </message>
    <message>
        <source>Only &amp;groups with a kept file</source>
        <translation>Nur Gruppen mit &amp;behaltener Datei</translation>
    </message>
    <message>
        <source>List only the groups of identical files that hold a file of a Keep path; sizes no kept file has are not compared</source>
        <translation>Nur die Gruppen identischer Dateien aufführen, die eine Datei eines Behalten-Pfads enthalten; Größen, die keine behaltene Datei hat, werden nicht verglichen</translation>
    </message>
    <message>
        <source>Files and folders the search leaves out, separated by &quot;;&quot; (* and ? as in the pattern). A pattern without &quot;/&quot; is matched against the name of a file or folder; one with &quot;/&quot; against the whole path. A pattern ending in &quot;/&quot; matches folders only. An excluded folder is not entered.
Example: .git; node_modules/; *.tmp</source>
        <translation>Dateien und Ordner, die die Suche auslässt, getrennt durch „;“ (* und ? wie im Muster). Ein Muster ohne „/“ wird mit dem Namen einer Datei oder eines Ordners verglichen, eines mit „/“ mit dem ganzen Pfad. Ein Muster, das auf „/“ endet, passt nur auf Ordner. Ein ausgeschlossener Ordner wird nicht betreten.
Beispiel: .git; node_modules/; *.tmp</translation>
    </message>
    <message>
        <source>A size, with a unit typed or chosen beside it (1 KB = 1000 bytes); empty for no limit. Files outside the limits are left out of the search.</source>
        <translation>Eine Größe, mit getippter oder daneben gewählter Einheit (1 KB = 1000 Bytes); leer für keine Grenze. Dateien außerhalb der Grenzen lässt die Suche aus.</translation>
    </message>
    <message>
        <source>Exclude</source>
        <translation>Ausschließen</translation>
    </message>
    <message>
        <source>Min size</source>
        <translation>Mindestgröße</translation>
    </message>
    <message>
        <source>Min size unit</source>
        <translation>Einheit der Mindestgröße</translation>
    </message>
    <message>
        <source>Max size</source>
        <translation>Höchstgröße</translation>
    </message>
    <message>
        <source>Max size unit</source>
        <translation>Einheit der Höchstgröße</translation>
    </message>
    <message>
        <source>Add the highlighted folder with this pattern (Alt+A)</source>
        <translation>Den hervorgehobenen Ordner mit diesem Muster hinzufügen (Alt+A)</translation>
    </message>
    <message>
        <source>Remove the selected path (Alt+R)</source>
        <translation>Den ausgewählten Pfad entfernen (Alt+R)</translation>
    </message>
    <message>
        <source>Choose a folder to add with this pattern</source>
        <translation>Einen Ordner wählen, der mit diesem Muster hinzugefügt wird</translation>
    </message>
    <message>
        <source>Drop folders here to add them</source>
        <translation>Ordner hier ablegen, um sie hinzuzufügen</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Laufwerk</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>File name pattern</source>
        <translation>Dateinamensmuster</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Search paths</source>
        <translation>Suchpfade</translation>
    </message>
    <message>
        <source>Search types</source>
        <translation>Sucharten</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>Sub-folder</source>
        <translation>Unterordner</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>Behalten</translation>
    </message>
    <message>
        <source>Files under a kept path are searched and listed, but never marked, deleted or renamed (Space or Alt+K on a row ticks its box)</source>
        <translation>Dateien unter einem behaltenen Pfad werden durchsucht und aufgeführt, aber nie markiert, gelöscht oder umbenannt (Leertaste oder Alt+K auf einer Zeile setzt ihr Häkchen)</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Ordner hinzufügen</translation>
    </message>
    <message>
        <source>Type a number, with B, KB, MB or GB if the unit beside it is not meant, e.g. &quot;1.5 MB&quot;; leave it empty for no limit.</source>
        <translation>Geben Sie eine Zahl ein, mit B, KB, MB oder GB, wenn nicht die Einheit daneben gemeint ist, z. B. „1.5 MB“; leer lassen für keine Grenze.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a size for Min size.</source>
        <translation>„%1“ ist keine Größe für die Mindestgröße.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a size for Max size.</source>
        <translation>„%1“ ist keine Größe für die Höchstgröße.</translation>
    </message>
    <message>
        <source>Min size (%1) is larger than Max size (%2): no file could be found.</source>
        <translation>Die Mindestgröße (%1) ist größer als die Höchstgröße (%2): Keine Datei könnte gefunden werden.</translation>
    </message>
    <message>
        <source>e.g. .git; *.tmp</source>
        <translation>z. B. .git; *.tmp</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
</context>
</TS>
