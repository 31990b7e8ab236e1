<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>FileOperations</name>
    <message numerus="yes">
        <source>... and %n more</source>
        <translation>
            <numerusform>... and %n more</numerusform>
            <numerusform>... and %n more</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FolderGroups</name>
    <message numerus="yes">
        <source>%n files, the same as %1</source>
        <translation>
            <numerusform>%n file, the same as %1</numerusform>
            <numerusform>%n files, the same as %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files, every one with a copy in %1</source>
        <translation>
            <numerusform>%n file, every one with a copy in %1</numerusform>
            <numerusform>%n files, every one with a copy in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files, every one with a copy; most in %1</source>
        <translation>
            <numerusform>%n file, every one with a copy; most in %1</numerusform>
            <numerusform>%n files, every one with a copy; most in %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ResultTotals</name>
    <message numerus="yes">
        <source>%1; %n marked (%2)</source>
        <translation>
            <numerusform>%1; %n marked (%2)</numerusform>
            <numerusform>%1; %n marked (%2)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows</source>
        <translation>
            <numerusform>%n row</numerusform>
            <numerusform>%n rows</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n groups</source>
        <translation>
            <numerusform>%n group</numerusform>
            <numerusform>%n groups</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n file</numerusform>
            <numerusform>%n files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n folders</source>
        <translation>
            <numerusform>%n folder</numerusform>
            <numerusform>%n folders</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n links</source>
        <translation>
            <numerusform>%n link</numerusform>
            <numerusform>%n links</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SearchText</name>
    <message numerus="yes">
        <source>Completed in %1s, searching %n files.</source>
        <translation>
            <numerusform>Completed in %1s, searching %n file.</numerusform>
            <numerusform>Completed in %1s, searching %n files.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled after %1s, searching %n files.</source>
        <translation>
            <numerusform>Cancelled after %1s, searching %n file.</numerusform>
            <numerusform>Cancelled after %1s, searching %n files.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; %n proven earlier.</source>
        <translation>
            <numerusform>%1; %n proven earlier.</numerusform>
            <numerusform>%1; %n proven earlier.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SizeText</name>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n byte</numerusform>
            <numerusform>%n bytes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>WorkText</name>
    <message numerus="yes">
        <source>%n files found</source>
        <translation>
            <numerusform>%n file found</numerusform>
            <numerusform>%n files found</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>trevalo::FileCommands</name>
    <message numerus="yes">
        <source>%n of them keep their bytes through other names (hard links),</source>
        <translation>
            <numerusform>%n of them keeps its bytes through another name (a hard link),</numerusform>
            <numerusform>%n of them keep their bytes through other names (hard links),</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The search found %n other names of them:</source>
        <translation>
            <numerusform>The search found %n other name of them:</numerusform>
            <numerusform>The search found %n other names of them:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files in them would keep no identical copy.</source>
        <translation>
            <numerusform>%n file in them would keep no identical copy.</numerusform>
            <numerusform>%n files in them would keep no identical copy.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them have no identical copy left unmarked.</source>
        <translation>
            <numerusform>%n of them has no identical copy left unmarked.</numerusform>
            <numerusform>%n of them have no identical copy left unmarked.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n groups would keep no copy at all.</source>
        <translation>
            <numerusform>%n group would keep no copy at all.</numerusform>
            <numerusform>%n groups would keep no copy at all.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n marked files stay: they are in a Keep folder.</source>
        <translation>
            <numerusform>%n marked file stays: it is in a Keep folder.</numerusform>
            <numerusform>%n marked files stay: they are in a Keep folder.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Replacing %n files with links ...</source>
        <translation>
            <numerusform>Replacing %n file with a link ...</numerusform>
            <numerusform>Replacing %n files with links ...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Moving %n files to the trash ...</source>
        <translation>
            <numerusform>Moving %n file to the trash ...</numerusform>
            <numerusform>Moving %n files to the trash ...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n marked files will be replaced with links to the copy each group keeps.</source>
        <translation>
            <numerusform>%n marked file will be replaced with a link to the copy its group keeps.</numerusform>
            <numerusform>%n marked files will be replaced with links to the copy each group keeps.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files moved to the trash</source>
        <translation>
            <numerusform>%n file moved to the trash</numerusform>
            <numerusform>%n files moved to the trash</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files replaced with links</source>
        <translation>
            <numerusform>%n file replaced with a link</numerusform>
            <numerusform>%n files replaced with links</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, and %n other names of them</source>
        <translation>
            <numerusform>, and %n other name of them</numerusform>
            <numerusform>, and %n other names of them</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n groups have one file left and are no longer listed</source>
        <translation>
            <numerusform>; %n group has one file left and is no longer listed</numerusform>
            <numerusform>; %n groups have one file left and are no longer listed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n not moved</source>
        <translation>
            <numerusform>; %n not moved</numerusform>
            <numerusform>; %n not moved</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Putting %n files back ...</source>
        <translation>
            <numerusform>Putting %n file back ...</numerusform>
            <numerusform>Putting %n files back ...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files put back</source>
        <translation>
            <numerusform>%n file put back</numerusform>
            <numerusform>%n files put back</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; stopped: %n files are still in the trash</source>
        <translation>
            <numerusform>; stopped: %n file is still in the trash</numerusform>
            <numerusform>; stopped: %n files are still in the trash</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>trevalo::MainWindow</name>
    <message numerus="yes">
        <source>%n paths copied</source>
        <translation>
            <numerusform>%n path copied</numerusform>
            <numerusform>%n paths copied</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n listed rows kept: never marked, deleted or renamed</source>
        <translation>
            <numerusform>%n listed row kept: never marked, deleted or renamed</numerusform>
            <numerusform>%n listed rows kept: never marked, deleted or renamed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n listed rows no longer kept</source>
        <translation>
            <numerusform>%n listed row no longer kept</numerusform>
            <numerusform>%n listed rows no longer kept</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> %n files outside the size limits were left out.</source>
        <translation>
            <numerusform> %n file outside the size limits was left out.</numerusform>
            <numerusform> %n files outside the size limits were left out.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> %n sizes not compared: no kept file has them.</source>
        <translation>
            <numerusform> %n size not compared: no kept file has it.</numerusform>
            <numerusform> %n sizes not compared: no kept file has them.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Opened %1: %n rows</source>
        <translation>
            <numerusform>Opened %1: %n row</numerusform>
            <numerusform>Opened %1: %n rows</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n stale (changed or gone since the search)</source>
        <translation>
            <numerusform>, %n stale (changed or gone since the search)</numerusform>
            <numerusform>, %n stale (changed or gone since the search)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n left the lists (no other file is identical or has the name)</source>
        <translation>
            <numerusform>, %n left the lists (no other file is identical or has the name)</numerusform>
            <numerusform>, %n left the lists (no other file is identical or has the name)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n moved into groups of their own</source>
        <translation>
            <numerusform>, %n moved into a group of its own</numerusform>
            <numerusform>, %n moved into groups of their own</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; the check was cancelled: %n rows not proven, they cannot be marked</source>
        <translation>
            <numerusform>; the check was cancelled: %n row not proven, it cannot be marked</numerusform>
            <numerusform>; the check was cancelled: %n rows not proven, they cannot be marked</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>trevalo::MarkCommands</name>
    <message numerus="yes">
        <source>%n files match</source>
        <translation>
            <numerusform>%n file matches</numerusform>
            <numerusform>%n files match</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n of them stay unmarked (kept files, folders and stale rows)</source>
        <translation>
            <numerusform>; %n of them stays unmarked (kept files, folders and stale rows)</numerusform>
            <numerusform>; %n of them stay unmarked (kept files, folders and stale rows)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>trevalo::ResultListModel</name>
    <message numerus="yes">
        <source>This file has %n names (hard links).</source>
        <translation>
            <numerusform>This file has %n names (hard links).</numerusform>
            <numerusform>This file has %n names (hard links).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The search found %n of them; the others it found are:</source>
        <translation>
            <numerusform>The search found %n of them; the others it found are:</numerusform>
            <numerusform>The search found %n of them; the others it found are:</numerusform>
        </translation>
    </message>
</context>
</TS>
