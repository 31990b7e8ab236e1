<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>DeleteHistory</name>
    <message>
        <source>Not restored:</source>
        <translation>Non restaurés :</translation>
    </message>
</context>
<context>
    <name>DesktopOpen</name>
    <message>
        <source>it does not exist</source>
        <translation>il n&apos;existe pas</translation>
    </message>
    <message>
        <source>the desktop has no program set up to open it</source>
        <translation>le bureau n&apos;a aucun programme configuré pour l&apos;ouvrir</translation>
    </message>
    <message>
        <source>the program set up to open it failed</source>
        <translation>le programme configuré pour l&apos;ouvrir a échoué</translation>
    </message>
    <message>
        <source>%1 ended with status %2</source>
        <translation>%1 s&apos;est terminé avec le code %2</translation>
    </message>
    <message>
        <source>%1 could not be started: %2</source>
        <translation>%1 n&apos;a pas pu être lancé : %2</translation>
    </message>
    <message>
        <source>no program to open it is installed (%1 was not found)</source>
        <translation>aucun programme pour l&apos;ouvrir n&apos;est installé (%1 est introuvable)</translation>
    </message>
</context>
<context>
    <name>FileDate</name>
    <message>
        <source>yyyy/MM/dd HH:mm:ss</source>
        <extracomment>How the date a file was last changed is written: a QDateTime format (yyyy year, MM month, dd day, HH hour 00-23, mm minutes, ss seconds). Keep the time&apos;s seconds.</extracomment>
        <translation>dd/MM/yyyy HH:mm:ss</translation>
    </message>
</context>
<context>
    <name>FileOperations</name>
    <message>
        <source>its group keeps no unmarked copy to link to</source>
        <translation>son groupe ne garde aucune copie non marquée vers laquelle créer un lien</translation>
    </message>
    <message>
        <source>Deletion failed: </source>
        <translation>Échec de la suppression : </translation>
    </message>
    <message>
        <source>not a file name</source>
        <translation>pas un nom de fichier</translation>
    </message>
    <message>
        <source>not measured by the search</source>
        <translation>non mesuré par la recherche</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more</source>
        <translation>
            <numerusform>... et %n autre</numerusform>
            <numerusform>... et %n autres</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FolderGroups</name>
    <message numerus="yes">
        <source>%n files, the same as %1</source>
        <translation>
            <numerusform>%n fichier, identique à %1</numerusform>
            <numerusform>%n fichiers, identiques à %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files, every one with a copy in %1</source>
        <translation>
            <numerusform>%n fichier, avec une copie dans %1</numerusform>
            <numerusform>%n fichiers, chacun avec une copie dans %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files, every one with a copy; most in %1</source>
        <translation>
            <numerusform>%n fichier, avec une copie ; la plupart dans %1</numerusform>
            <numerusform>%n fichiers, chacun avec une copie ; la plupart dans %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FolderProof</name>
    <message>
        <source>cannot be listed in full: %1</source>
        <translation>ne peut pas être listé en entier : %1</translation>
    </message>
    <message>
        <source>no longer empty</source>
        <translation>n&apos;est plus vide</translation>
    </message>
    <message>
        <source>its files are not those the search found</source>
        <translation>ses fichiers ne sont pas ceux que la recherche a trouvés</translation>
    </message>
    <message>
        <source>its folders are not those the search found</source>
        <translation>ses dossiers ne sont pas ceux que la recherche a trouvés</translation>
    </message>
    <message>
        <source>not proven: cancelled</source>
        <translation>non vérifié : annulé</translation>
    </message>
    <message>
        <source>%1: its copy is not another file outside the folder</source>
        <translation>%1 : sa copie n&apos;est pas un autre fichier hors du dossier</translation>
    </message>
    <message>
        <source>%1: no longer the size of its copy</source>
        <translation>%1 : n&apos;a plus la taille de sa copie</translation>
    </message>
    <message>
        <source>%1: its copy %2 changed since the search</source>
        <translation>%1 : sa copie %2 a été modifiée depuis la recherche</translation>
    </message>
    <message>
        <source>%1: no longer identical to %2</source>
        <translation>%1 : n&apos;est plus identique à %2</translation>
    </message>
    <message>
        <source>not a folder or a link</source>
        <translation>ni un dossier ni un lien</translation>
    </message>
    <message>
        <source>its target exists now</source>
        <translation>sa cible existe maintenant</translation>
    </message>
    <message>
        <source>changed since the search</source>
        <translation>modifié depuis la recherche</translation>
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
        <translation>Trevalo version %1.%2.%3

Trouve les fichiers vides, les fichiers au contenu identique et les fichiers de même nom.

Logiciel libre sous la licence publique générale GNU, version 2 ou ultérieure (GPL-2.0-or-later).

Compilé avec Qt %4, exécuté avec Qt %5.

Langue : %6</translation>
    </message>
</context>
<context>
    <name>LinkReplace</name>
    <message>
        <source>a copy sharing its blocks</source>
        <translation>une copie partageant ses blocs</translation>
    </message>
    <message>
        <source>a hard link</source>
        <translation>un lien physique</translation>
    </message>
    <message>
        <source>a symbolic link</source>
        <translation>un lien symbolique</translation>
    </message>
    <message>
        <source>its copy %1: %2</source>
        <translation>sa copie %1 : %2</translation>
    </message>
    <message>
        <source>it is the same file as %1</source>
        <translation>c&apos;est le même fichier que %1</translation>
    </message>
    <message>
        <source>a hard link cannot reach %1 on another file system</source>
        <translation>un lien physique ne peut pas atteindre %1 sur un autre système de fichiers</translation>
    </message>
    <message>
        <source>it no longer holds the same bytes as %1</source>
        <translation>il ne contient plus les mêmes octets que %1</translation>
    </message>
    <message>
        <source>%1 cannot be made here: %2</source>
        <translation>%1 ne peut pas être créé ici : %2</translation>
    </message>
    <message>
        <source>its copy %1 changed</source>
        <translation>sa copie %1 a été modifiée</translation>
    </message>
    <message>
        <source>the link could not take its name: %1</source>
        <translation>le lien n&apos;a pas pu prendre son nom : %1</translation>
    </message>
    <message>
        <source>the link could not take its name (%1), and the file stays in the trash at %2: %3; the link is %4</source>
        <translation>le lien n&apos;a pas pu prendre son nom (%1), et le fichier reste dans la corbeille sous %2 : %3 ; le lien est %4</translation>
    </message>
    <message>
        <source>the link put in its place has changed or gone; the file stays in the trash</source>
        <translation>le lien mis à sa place a changé ou a disparu ; le fichier reste dans la corbeille</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Please select path before search.</source>
        <translation>Veuillez choisir un chemin avant la recherche.</translation>
    </message>
    <message>
        <source>Select Path</source>
        <translation>Choisir un chemin</translation>
    </message>
    <message>
        <source>Please select a search type.</source>
        <translation>Veuillez choisir un type de recherche.</translation>
    </message>
    <message>
        <source>Stopping ...</source>
        <translation>Arrêt en cours ...</translation>
    </message>
</context>
<context>
    <name>OsError</name>
    <message>
        <source>a link back to a folder above it, searched once</source>
        <translation>un lien vers un dossier parent, parcouru une seule fois</translation>
    </message>
    <message>
        <source>a trash folder, never searched</source>
        <translation>un dossier de corbeille, jamais parcouru</translation>
    </message>
    <message>
        <source>a kernel file system, not searched</source>
        <translation>un système de fichiers du noyau, non parcouru</translation>
    </message>
    <message>
        <source>it is in the trash already</source>
        <translation>il est déjà dans la corbeille</translation>
    </message>
    <message>
        <source>no free name in the trash</source>
        <translation>aucun nom libre dans la corbeille</translation>
    </message>
    <message>
        <source>changed since the search</source>
        <translation>modifié depuis la recherche</translation>
    </message>
</context>
<context>
    <name>PathRows</name>
    <message>
        <source>Please input extension.</source>
        <translation>Veuillez saisir une extension.</translation>
    </message>
</context>
<context>
    <name>ProofCache</name>
    <message>
        <source>Proof cache %1: %2.</source>
        <translation>Cache des preuves %1 : %2.</translation>
    </message>
    <message>
        <source>cannot be opened</source>
        <translation>ne peut pas être ouvert</translation>
    </message>
    <message>
        <source>Proof cache not used: no cache folder (HOME is not set).</source>
        <translation>Cache des preuves non utilisé : aucun dossier de cache (HOME n&apos;est pas défini).</translation>
    </message>
    <message>
        <source>Proof cache not used: %1: %2.</source>
        <translation>Cache des preuves non utilisé : %1 : %2.</translation>
    </message>
    <message>
        <source>not used</source>
        <translation>non utilisé</translation>
    </message>
    <message>
        <source>Proof cache was damaged and has been made anew.</source>
        <translation>Le cache des preuves était endommagé et a été recréé.</translation>
    </message>
    <message>
        <source>Proof cache was written by another version and has been made anew.</source>
        <translation>Le cache des preuves venait d&apos;une autre version et a été recréé.</translation>
    </message>
    <message>
        <source>not pruned</source>
        <translation>non élagué</translation>
    </message>
    <message>
        <source>not read</source>
        <translation>non lu</translation>
    </message>
    <message>
        <source>not written</source>
        <translation>non écrit</translation>
    </message>
    <message>
        <source>no cache folder (HOME is not set)</source>
        <translation>aucun dossier de cache (HOME n&apos;est pas défini)</translation>
    </message>
    <message>
        <source>Proof cache not used: %1 belongs to another user.</source>
        <translation>Cache des preuves non utilisé : %1 appartient à un autre utilisateur.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>: it cannot be marked, deleted or renamed.</source>
        <translation> : il ne peut être ni marqué, ni supprimé, ni renommé.</translation>
    </message>
    <message>
        <source>A file of that name is there already.</source>
        <translation>Un fichier de ce nom existe déjà.</translation>
    </message>
    <message>
        <source>The name is too long.</source>
        <translation>Le nom est trop long.</translation>
    </message>
    <message>
        <source>Permission denied.</source>
        <translation>Permission refusée.</translation>
    </message>
    <message>
        <source>The name is not allowed: it is empty, &quot;.&quot; or &quot;..&quot;, or holds a &quot;/&quot;.</source>
        <translation>Ce nom n&apos;est pas permis : il est vide, vaut « . » ou « .. », ou contient une « / ».</translation>
    </message>
    <message>
        <source>so this frees %1.</source>
        <translation>cela libère donc %1.</translation>
    </message>
    <message>
        <source>moving those to the trash too frees %1.</source>
        <translation>les mettre aussi à la corbeille libère %1.</translation>
    </message>
    <message>
        <source>It has no identical copy left unmarked.</source>
        <translation>Il ne lui reste aucune copie identique non marquée.</translation>
    </message>
    <message>
        <source>Go ahead?</source>
        <translation>Continuer ?</translation>
    </message>
    <message>
        <source>... the whole list is under &quot;Show Details&quot;.</source>
        <translation>... la liste complète se trouve sous « Afficher les détails ».</translation>
    </message>
    <message>
        <source>Trevalo results (*.json)</source>
        <translation>Résultats Trevalo (*.json)</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message>
        <source>Mark by pattern</source>
        <translation>Marquer selon un motif</translation>
    </message>
    <message>
        <source>Mark the files whose full path matches (* and ?):</source>
        <translation>Marquer les fichiers dont le chemin complet correspond (* et ?) :</translation>
    </message>
</context>
<context>
    <name>ResultListModel</name>
    <message>
        <source>Kept: found under a Keep path, so it is never marked, deleted or renamed.</source>
        <translation>Conservé : trouvé sous un chemin à conserver, il n&apos;est donc jamais marqué, supprimé ni renommé.</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Raison</translation>
    </message>
</context>
<context>
    <name>ResultRow</name>
    <message>
        <source>could not be listed: %1</source>
        <translation>n&apos;a pas pu être listé : %1</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>In Folder</source>
        <translation>Dans le dossier</translation>
    </message>
    <message>
        <source>#</source>
        <translation>N°</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Date Modified</source>
        <translation>Date de modification</translation>
    </message>
</context>
<context>
    <name>ResultTotals</name>
    <message>
        <source>%1 in %2</source>
        <translation>%1 dans %2</translation>
    </message>
    <message>
        <source>%1, %2 reclaimable</source>
        <translation>%1, %2 récupérables</translation>
    </message>
    <message>
        <source>%1 (%2) will be moved to the trash.</source>
        <translation>%1 (%2) seront mis à la corbeille.</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 et %2</translation>
    </message>
    <message numerus="yes">
        <source>%1; %n marked (%2)</source>
        <translation>
            <numerusform>%1 ; %n marqué (%2)</numerusform>
            <numerusform>%1 ; %n marqués (%2)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows</source>
        <translation>
            <numerusform>%n ligne</numerusform>
            <numerusform>%n lignes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n groups</source>
        <translation>
            <numerusform>%n groupe</numerusform>
            <numerusform>%n groupes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n fichier</numerusform>
            <numerusform>%n fichiers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n folders</source>
        <translation>
            <numerusform>%n dossier</numerusform>
            <numerusform>%n dossiers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n links</source>
        <translation>
            <numerusform>%n lien</numerusform>
            <numerusform>%n liens</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ResultsFile</name>
    <message>
        <source>the file ends early: it is incomplete</source>
        <translation>le fichier se termine trop tôt : il est incomplet</translation>
    </message>
    <message>
        <source>not a results file: %1 at byte %2</source>
        <translation>pas un fichier de résultats : %1 à l&apos;octet %2</translation>
    </message>
    <message>
        <source>not a results file: %1</source>
        <translation>pas un fichier de résultats : %1</translation>
    </message>
    <message>
        <source>expected &apos;%1&apos;</source>
        <translation>« %1 » attendu</translation>
    </message>
    <message>
        <source>expected a string</source>
        <translation>chaîne attendue</translation>
    </message>
    <message>
        <source>a control character in a string</source>
        <translation>un caractère de contrôle dans une chaîne</translation>
    </message>
    <message>
        <source>a number too large</source>
        <translation>un nombre trop grand</translation>
    </message>
    <message>
        <source>expected a whole number</source>
        <translation>nombre entier attendu</translation>
    </message>
    <message>
        <source>expected a number</source>
        <translation>nombre attendu</translation>
    </message>
    <message>
        <source>expected true or false</source>
        <translation>true ou false attendu</translation>
    </message>
    <message>
        <source>values nested too deep</source>
        <translation>valeurs imbriquées trop profondément</translation>
    </message>
    <message>
        <source>expected a value</source>
        <translation>valeur attendue</translation>
    </message>
    <message>
        <source>expected &apos;,&apos; or &apos;%1&apos;</source>
        <translation>« , » ou « %1 » attendu</translation>
    </message>
    <message>
        <source>a bad \u escape</source>
        <translation>un échappement \u invalide</translation>
    </message>
    <message>
        <source>a bad escape in a string</source>
        <translation>un échappement invalide dans une chaîne</translation>
    </message>
    <message>
        <source>a lone surrogate in a string</source>
        <translation>un demi-code de substitution isolé dans une chaîne</translation>
    </message>
    <message>
        <source>a date too long</source>
        <translation>une date trop longue</translation>
    </message>
    <message>
        <source>a row without a name</source>
        <translation>une ligne sans nom</translation>
    </message>
    <message>
        <source>a row of folders without its files</source>
        <translation>une ligne de dossiers sans ses fichiers</translation>
    </message>
    <message>
        <source>an unknown path role &quot;%1&quot;</source>
        <translation>un rôle de chemin inconnu « %1 »</translation>
    </message>
    <message>
        <source>this results file is of format version %1; this program reads versions %2 to %3</source>
        <translation>ce fichier de résultats est au format version %1 ; ce programme lit les versions %2 à %3</translation>
    </message>
    <message>
        <source>more text after the results</source>
        <translation>du texte après les résultats</translation>
    </message>
    <message>
        <source>it holds no lists of results</source>
        <translation>il ne contient aucune liste de résultats</translation>
    </message>
    <message>
        <source>not a results file: the file is empty</source>
        <translation>pas un fichier de résultats : le fichier est vide</translation>
    </message>
</context>
<context>
    <name>ResultsProof</name>
    <message>
        <source>gone since these results were saved</source>
        <translation>disparu depuis l&apos;enregistrement de ces résultats</translation>
    </message>
    <message>
        <source>no longer a regular file</source>
        <translation>n&apos;est plus un fichier ordinaire</translation>
    </message>
    <message>
        <source>changed since these results were saved</source>
        <translation>modifié depuis l&apos;enregistrement de ces résultats</translation>
    </message>
    <message>
        <source>the results file gives no date for it, so nothing shows it is the file the search found</source>
        <translation>le fichier de résultats ne donne pas sa date, rien ne montre donc que c&apos;est le fichier trouvé par la recherche</translation>
    </message>
    <message>
        <source>its group in the results file holds files of different sizes</source>
        <translation>son groupe dans le fichier de résultats contient des fichiers de tailles différentes</translation>
    </message>
    <message>
        <source>the results file lists it as empty, but gives a size</source>
        <translation>le fichier de résultats l&apos;indique comme vide, mais donne une taille</translation>
    </message>
    <message>
        <source>not compared again: the check was cancelled</source>
        <translation>non comparé à nouveau : la vérification a été annulée</translation>
    </message>
    <message>
        <source>cannot be looked at: %1</source>
        <translation>ne peut pas être examiné : %1</translation>
    </message>
    <message>
        <source>no longer a link</source>
        <translation>n&apos;est plus un lien</translation>
    </message>
    <message>
        <source>no longer a folder</source>
        <translation>n&apos;est plus un dossier</translation>
    </message>
    <message>
        <source>the same file as %1</source>
        <translation>le même fichier que %1</translation>
    </message>
    <message>
        <source>could not be read: %1</source>
        <translation>n&apos;a pas pu être lu : %1</translation>
    </message>
    <message>
        <source>the results file gives no full path for it</source>
        <translation>le fichier de résultats ne donne pas son chemin complet</translation>
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
        <translation>Trouve les fichiers vides, les fichiers au contenu identique et les fichiers de même nom.

  SEARCH-PATH       un dossier (chaque fichier), ou un dossier, &quot;/&quot; et un motif générique
                    comme &apos;~/Images/*.jpg&apos; (entre guillemets pour que le shell n&apos;y touche
                    pas). &quot;*&quot; correspond à toute suite de caractères, &quot;?&quot; à un caractère,
                    sans distinction de casse, &quot;*.*&quot; correspond à tout nom.
  --zero-size       lister les fichiers vides
  --duplicates      lister les fichiers au contenu identique (et les fichiers qui n&apos;ont
                    pas pu être lus pendant la comparaison)
  --same-name       lister les fichiers dont le nom apparaît plus d&apos;une fois
                    (sans option de recherche, ces trois recherches sont faites)
  --folders         lister les dossiers dont les arborescences entières sont identiques,
                    et les dossiers dont chaque fichier a une copie identique ailleurs
  --empty-folders   lister les dossiers qui ne contiennent aucun fichier, à aucun niveau
  --broken-links    lister les liens symboliques dont la cible n&apos;existe pas
  --no-subfolders   ne parcourir que les dossiers donnés, pas leurs sous-dossiers
  --keep PATH       les fichiers dans le dossier PATH ou en dessous sont conservés :
                    listés, jamais supprimés (répétable) ; PATH est aussi parcouru
                    quand aucun SEARCH-PATH ne le couvre
  --only-with-kept  ne lister que les groupes de fichiers identiques qui contiennent un
                    fichier conservé
  --exclude PATTERN écarter les fichiers et dossiers dont le nom correspond à PATTERN, ou
                    dont le chemin complet y correspond quand PATTERN contient &quot;/&quot; (mêmes
                    jokers ; répétable ; un dossier écarté n&apos;est pas parcouru)
  --min-size SIZE   ne parcourir que les fichiers d&apos;au moins SIZE octets ; unités B, KB,
                    MB, GB (1 KB = 1000 octets), par ex. 4KB ou 1.5MB
  --max-size SIZE   ne parcourir que les fichiers d&apos;au plus SIZE octets
  --threads N       parcourir et comparer sur N fils d&apos;exécution (par défaut : un par
                    processeur utilisable ; les résultats sont les mêmes)
  --no-cache        ni utiliser ni enrichir le cache des preuves : lire chaque fichier
                    à comparer, comme pour une première recherche
  --forget-cache    vider tout le cache des preuves (avant la recherche, si un
                    SEARCH-PATH est donné)
  --json            écrire les listes en un seul objet JSON
  --help            afficher cette aide
  --version         afficher la version

Rien n&apos;est écrit dans les dossiers parcourus. Ctrl-C arrête la recherche et affiche ce
qui a été trouvé jusque-là (code de sortie 130). Codes de sortie : 0 terminé, 1 un chemin
de recherche ou un dossier qu&apos;il contient n&apos;a pas pu être parcouru, 2 ligne de commande
incorrecte, 3 la sortie n&apos;a pas pu être écrite.

Les groupes de fichiers trouvés identiques octet par octet, et les empreintes de ce qui a
été lu, sont gardés dans $XDG_CACHE_HOME/trevalo (~/.cache/trevalo) : une recherche
ultérieure ne les relit pas tant que chaque fichier garde son périphérique, son inode, sa
taille, ses dates de modification et de changement. Une empreinte ne prouve jamais que la
différence de deux fichiers ; les listes sont celles d&apos;une recherche sans elle.
Voir trevalo-scan(1) pour la forme de la sortie.
</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>option inconnue « %1 »</translation>
    </message>
    <message>
        <source>--%1 &apos;%2&apos; is not a size (a number of bytes, or with a unit: B, KB, MB, GB)</source>
        <translation>--%1 « %2 » n&apos;est pas une taille (un nombre d&apos;octets, ou avec une unité : B, KB, MB, GB)</translation>
    </message>
    <message>
        <source>--threads &apos;%1&apos; is not a number from 1 to %2</source>
        <translation>--threads « %1 » n&apos;est pas un nombre de 1 à %2</translation>
    </message>
    <message>
        <source>--min-size is larger than --max-size</source>
        <translation>--min-size est plus grand que --max-size</translation>
    </message>
    <message>
        <source>no SEARCH-PATH given</source>
        <translation>aucun SEARCH-PATH donné</translation>
    </message>
    <message>
        <source>the output could not be written: %1</source>
        <translation>la sortie n&apos;a pas pu être écrite : %1</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: no such folder</source>
        <translation>« %1 » : dossier inexistant</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is a file, not a folder (quote a wildcard pattern: &apos;FOLDER/*.jpg&apos;)</source>
        <translation>« %1 » est un fichier, pas un dossier (mettez un motif générique entre guillemets : &apos;DOSSIER/*.jpg&apos;)</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: %2</source>
        <translation>« %1 » : %2</translation>
    </message>
    <message>
        <source>not a folder</source>
        <translation>pas un dossier</translation>
    </message>
    <message>
        <source>the proof cache could not be dropped: %1</source>
        <translation>le cache des preuves n&apos;a pas pu être vidé : %1</translation>
    </message>
</context>
<context>
    <name>SearchEvents</name>
    <message>
        <source>Listing files ...</source>
        <translation>Liste des fichiers ...</translation>
    </message>
    <message>
        <source>Sorting files ...</source>
        <translation>Tri des fichiers ...</translation>
    </message>
    <message>
        <source>Finding shared names ...</source>
        <translation>Recherche des noms partagés ...</translation>
    </message>
    <message>
        <source>Comparing contents ...</source>
        <translation>Comparaison des contenus ...</translation>
    </message>
</context>
<context>
    <name>SearchState</name>
    <message>
        <source>Zero Size</source>
        <translation>Taille nulle</translation>
    </message>
    <message>
        <source>Duplicates</source>
        <translation>Doublons</translation>
    </message>
    <message>
        <source>Same File Name</source>
        <translation>Même nom de fichier</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Dossiers</translation>
    </message>
    <message>
        <source>Empty Folders</source>
        <translation>Dossiers vides</translation>
    </message>
    <message>
        <source>Broken Links</source>
        <translation>Liens brisés</translation>
    </message>
    <message>
        <source>Same Name</source>
        <translation>Même nom</translation>
    </message>
    <message>
        <source>Report - read errors</source>
        <translation>Rapport - erreurs de lecture</translation>
    </message>
</context>
<context>
    <name>SearchText</name>
    <message numerus="yes">
        <source>Completed in %1s, searching %n files.</source>
        <translation>
            <numerusform>Terminé en %1 s, %n fichier parcouru.</numerusform>
            <numerusform>Terminé en %1 s, %n fichiers parcourus.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled after %1s, searching %n files.</source>
        <translation>
            <numerusform>Annulé après %1 s, %n fichier parcouru.</numerusform>
            <numerusform>Annulé après %1 s, %n fichiers parcourus.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; %n proven earlier.</source>
        <translation>
            <numerusform>%1 ; %n déjà vérifié auparavant.</numerusform>
            <numerusform>%1 ; %n déjà vérifiés auparavant.</numerusform>
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
            <numerusform>%n octet</numerusform>
            <numerusform>%n octets</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TimeLeft</name>
    <message>
        <source>about %1 s left</source>
        <translation>environ %1 s restantes</translation>
    </message>
    <message>
        <source>about %1 min left</source>
        <translation>environ %1 min restantes</translation>
    </message>
    <message>
        <source>about %1 h %2 min left</source>
        <translation>environ %1 h %2 min restantes</translation>
    </message>
</context>
<context>
    <name>Trash</name>
    <message>
        <source>cannot use the trash %1: %2</source>
        <translation>impossible d&apos;utiliser la corbeille %1 : %2</translation>
    </message>
    <message>
        <source>the folder %1 is not the one it was deleted from (a link or another folder stands in its place)</source>
        <translation>le dossier %1 n&apos;est pas celui d&apos;où il a été supprimé (un lien ou un autre dossier a pris sa place)</translation>
    </message>
    <message>
        <source>cannot open the folder %1: %2</source>
        <translation>impossible d&apos;ouvrir le dossier %1 : %2</translation>
    </message>
    <message>
        <source>no folder above %1 can be opened</source>
        <translation>aucun dossier au-dessus de %1 ne peut être ouvert</translation>
    </message>
    <message>
        <source>the folder %1 is gone, and %2 is not where it was (a link or another folder stands in its place)</source>
        <translation>le dossier %1 a disparu, et %2 n&apos;est plus là où il était (un lien ou un autre dossier a pris sa place)</translation>
    </message>
    <message>
        <source>cannot make the folder %1: %2</source>
        <translation>impossible de créer le dossier %1 : %2</translation>
    </message>
    <message>
        <source>no longer in the trash</source>
        <translation>n&apos;est plus dans la corbeille</translation>
    </message>
    <message>
        <source>no longer in the trash (another file has its name there)</source>
        <translation>n&apos;est plus dans la corbeille (un autre fichier y porte son nom)</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>impossible de lire %1 : %2</translation>
    </message>
    <message>
        <source>the .trashinfo names no absolute path: %1</source>
        <translation>le .trashinfo ne donne pas de chemin absolu : %1</translation>
    </message>
    <message>
        <source>%1; it stays in the trash</source>
        <translation>%1 ; il reste dans la corbeille</translation>
    </message>
    <message>
        <source>a file now stands at the original path; it stays in the trash</source>
        <translation>un fichier occupe maintenant le chemin d&apos;origine ; il reste dans la corbeille</translation>
    </message>
    <message>
        <source>the original folder is on another file system now; it stays in %1</source>
        <translation>le dossier d&apos;origine est maintenant sur un autre système de fichiers ; il reste dans %1</translation>
    </message>
    <message>
        <source>the file in the trash changed while it was restored</source>
        <translation>le fichier dans la corbeille a changé pendant sa restauration</translation>
    </message>
    <message>
        <source>the file in the trash changed while it was restored; it is at %1 now</source>
        <translation>le fichier dans la corbeille a changé pendant sa restauration ; il se trouve maintenant sous %1</translation>
    </message>
    <message>
        <source>restored, but %1 could not be removed: %2</source>
        <translation>restauré, mais %1 n&apos;a pas pu être supprimé : %2</translation>
    </message>
</context>
<context>
    <name>WholeFile</name>
    <message>
        <source>it is a symbolic link, and nothing is written through a link or in its place; choose another name</source>
        <translation>c&apos;est un lien symbolique, et rien n&apos;est écrit à travers un lien ni à sa place ; choisissez un autre nom</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>c&apos;est un dossier</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>ce n&apos;est pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>it is another user&apos;s file</source>
        <translation>c&apos;est le fichier d&apos;un autre utilisateur</translation>
    </message>
    <message>
        <source>no free name for the new file beside it</source>
        <translation>aucun nom libre pour le nouveau fichier à côté</translation>
    </message>
</context>
<context>
    <name>WindowCommand</name>
    <message>
        <source>Try &apos;trevalo --help&apos;.</source>
        <translation>« trevalo --help » affiche les options.</translation>
    </message>
</context>
<context>
    <name>WorkText</name>
    <message>
        <source>%1 of %2 compared</source>
        <translation>%1 sur %2 comparés</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message numerus="yes">
        <source>%n files found</source>
        <translation>
            <numerusform>%n fichier trouvé</numerusform>
            <numerusform>%n fichiers trouvés</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>it is neither a folder to search nor saved results (a FILE.json).</source>
        <translation>ce n&apos;est ni un dossier à parcourir ni des résultats enregistrés (un FICHIER.json).</translation>
    </message>
    <message>
        <source>%1 is not added to the search paths:
%2</source>
        <translation>%1 n&apos;est pas ajouté aux chemins de recherche :
%2</translation>
    </message>
    <message>
        <source>Finds files of zero length, files with identical contents and files that share a name.</source>
        <translation>Trouve les fichiers vides, les fichiers au contenu identique et les fichiers qui portent le même nom.</translation>
    </message>
    <message>
        <source>A folder to search: added to the search paths with every file in it and its sub-folders. A FILE.json saved by Save Results or written by trevalo-scan --json is opened into the lists instead.</source>
        <translation>Un dossier à parcourir : il rejoint les chemins de recherche avec tous ses fichiers et ses sous-dossiers. Un FILE.json enregistré par « Enregistrer les résultats » ou écrit par trevalo-scan --json est plutôt ouvert dans les listes.</translation>
    </message>
</context>
<context>
    <name>trevalo::DriveList</name>
    <message>
        <source>Home (%1)</source>
        <translation>Dossier personnel (%1)</translation>
    </message>
</context>
<context>
    <name>trevalo::FileCommands</name>
    <message>
        <source>File can&apos;t be deleted.</source>
        <translation>Le fichier ne peut pas être supprimé.</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Please mark files.</source>
        <translation>Veuillez marquer des fichiers.</translation>
    </message>
    <message>
        <source>Move All Their Names</source>
        <translation>Déplacer tous leurs noms</translation>
    </message>
    <message>
        <source>Move the Marked Names Only</source>
        <translation>Déplacer seulement les noms marqués</translation>
    </message>
    <message>
        <source>Files are replaced with links from the Duplicates list, where each marked file has a copy to link to.</source>
        <translation>Les fichiers sont remplacés par des liens depuis la liste « Doublons », où chaque fichier marqué a une copie vers laquelle pointer.</translation>
    </message>
    <message>
        <source>These marked files stay as they are:</source>
        <translation>Ces fichiers marqués restent tels quels :</translation>
    </message>
    <message>
        <source>Each goes to the trash first, so Restore Last Delete puts it back.</source>
        <translation>Chacun passe d&apos;abord par la corbeille, et « Restaurer la dernière suppression » le remet en place.</translation>
    </message>
    <message>
        <source>Shared copies (btrfs, XFS) stay two files, each with its own owner, mode and times, on blocks they share.
Hard links make the names one file: they then share one owner, mode and time, and a change through one name shows in all.
Symbolic links name the copy&apos;s path: moving or deleting the copy breaks them.</source>
        <translation>Les copies partagées (btrfs, XFS) restent deux fichiers, chacun avec son propriétaire, ses droits et ses dates, sur des blocs communs.
Les liens physiques font des noms un seul fichier : ils partagent alors propriétaire, droits et date, et une modification par un nom se voit dans tous.
Les liens symboliques désignent le chemin de la copie : déplacer ou supprimer la copie les brise.</translation>
    </message>
    <message>
        <source>Where the kind you choose is not possible, the file is named and left alone.</source>
        <translation>Là où le type choisi n&apos;est pas possible, le fichier est signalé et laissé tel quel.</translation>
    </message>
    <message>
        <source>Shared Copies</source>
        <translation>Copies partagées</translation>
    </message>
    <message>
        <source>Hard Links</source>
        <translation>Liens physiques</translation>
    </message>
    <message>
        <source>Symbolic Links</source>
        <translation>Liens symboliques</translation>
    </message>
    <message>
        <source>Replace with Links</source>
        <translation>Remplacer par des liens</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>%1 moved to the trash</source>
        <translation>%1 mis à la corbeille</translation>
    </message>
    <message>
        <source>; not listed: the lists come from a later search or file</source>
        <translation> ; non listés : les listes viennent d&apos;une recherche ou d&apos;un fichier plus récent</translation>
    </message>
    <message>
        <source>Restore Last Delete</source>
        <translation>Restaurer la dernière suppression</translation>
    </message>
    <message>
        <source>Please select a file.</source>
        <translation>Veuillez sélectionner un fichier.</translation>
    </message>
    <message>
        <source>Select file</source>
        <translation>Sélectionner un fichier</translation>
    </message>
    <message>
        <source>File can&apos;t be renamed.</source>
        <translation>Le fichier ne peut pas être renommé.</translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation>C&apos;est un dossier.</translation>
    </message>
    <message>
        <source>Can&apos;t rename</source>
        <translation>Impossible de renommer</translation>
    </message>
    <message>
        <source>Only files are renamed here: rename a folder or a link in your file manager, then search again.</source>
        <translation>Seuls les fichiers sont renommés ici : renommez un dossier ou un lien dans votre gestionnaire de fichiers, puis relancez la recherche.</translation>
    </message>
    <message>
        <source>It is in a Keep folder: kept files are never renamed.</source>
        <translation>Il est dans un dossier à conserver : les fichiers conservés ne sont jamais renommés.</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>Please type a new file name for </source>
        <translation>Veuillez saisir un nouveau nom de fichier pour </translation>
    </message>
    <message>
        <source>File can&apos;t be opened: it is gone.</source>
        <translation>Le fichier ne peut pas être ouvert : il a disparu.</translation>
    </message>
    <message>
        <source>Can&apos;t open</source>
        <translation>Impossible d&apos;ouvrir</translation>
    </message>
    <message>
        <source>File can&apos;t be opened: %1.</source>
        <translation>Le fichier ne peut pas être ouvert : %1.</translation>
    </message>
    <message numerus="yes">
        <source>%n of them keep their bytes through other names (hard links),</source>
        <translation>
            <numerusform>%n d&apos;entre eux garde ses octets sous un autre nom (un lien physique),</numerusform>
            <numerusform>%n d&apos;entre eux gardent leurs octets sous d&apos;autres noms (liens physiques),</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The search found %n other names of them:</source>
        <translation>
            <numerusform>La recherche a trouvé %n autre de leurs noms :</numerusform>
            <numerusform>La recherche a trouvé %n autres de leurs noms :</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files in them would keep no identical copy.</source>
        <translation>
            <numerusform>%n fichier parmi eux ne garderait aucune copie identique.</numerusform>
            <numerusform>%n fichiers parmi eux ne garderaient aucune copie identique.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them have no identical copy left unmarked.</source>
        <translation>
            <numerusform>%n d&apos;entre eux n&apos;a plus de copie identique non marquée.</numerusform>
            <numerusform>%n d&apos;entre eux n&apos;ont plus de copie identique non marquée.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n groups would keep no copy at all.</source>
        <translation>
            <numerusform>%n groupe ne garderait aucune copie.</numerusform>
            <numerusform>%n groupes ne garderaient aucune copie.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n marked files stay: they are in a Keep folder.</source>
        <translation>
            <numerusform>%n fichier marqué reste : il est dans un dossier à conserver.</numerusform>
            <numerusform>%n fichiers marqués restent : ils sont dans un dossier à conserver.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Replacing %n files with links ...</source>
        <translation>
            <numerusform>Remplacement de %n fichier par un lien ...</numerusform>
            <numerusform>Remplacement de %n fichiers par des liens ...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Moving %n files to the trash ...</source>
        <translation>
            <numerusform>Mise à la corbeille de %n fichier ...</numerusform>
            <numerusform>Mise à la corbeille de %n fichiers ...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n marked files will be replaced with links to the copy each group keeps.</source>
        <translation>
            <numerusform>%n fichier marqué sera remplacé par un lien vers la copie que garde son groupe.</numerusform>
            <numerusform>%n fichiers marqués seront remplacés par des liens vers la copie que garde chaque groupe.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files moved to the trash</source>
        <translation>
            <numerusform>%n fichier mis à la corbeille</numerusform>
            <numerusform>%n fichiers mis à la corbeille</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files replaced with links</source>
        <translation>
            <numerusform>%n fichier remplacé par un lien</numerusform>
            <numerusform>%n fichiers remplacés par des liens</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, and %n other names of them</source>
        <translation>
            <numerusform>, et %n autre de leurs noms</numerusform>
            <numerusform>, et %n autres de leurs noms</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n groups have one file left and are no longer listed</source>
        <translation>
            <numerusform> ; %n groupe n&apos;a plus qu&apos;un fichier et n&apos;est plus listé</numerusform>
            <numerusform> ; %n groupes n&apos;ont plus qu&apos;un fichier et ne sont plus listés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n not moved</source>
        <translation>
            <numerusform> ; %n non déplacé</numerusform>
            <numerusform> ; %n non déplacés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Putting %n files back ...</source>
        <translation>
            <numerusform>Remise en place de %n fichier ...</numerusform>
            <numerusform>Remise en place de %n fichiers ...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files put back</source>
        <translation>
            <numerusform>%n fichier remis en place</numerusform>
            <numerusform>%n fichiers remis en place</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; stopped: %n files are still in the trash</source>
        <translation>
            <numerusform> ; arrêté : %n fichier est encore dans la corbeille</numerusform>
            <numerusform> ; arrêté : %n fichiers sont encore dans la corbeille</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>trevalo::FileOpPanel</name>
    <message>
        <source>&amp;Task</source>
        <translation>Tâc&amp;he</translation>
    </message>
    <message>
        <source>Pre&amp;view</source>
        <translation>A&amp;perçu</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <translation>Aperçu de l&apos;image</translation>
    </message>
</context>
<context>
    <name>trevalo::FilterBar</name>
    <message>
        <source>Filter: part of a name or folder, or a pattern with * and ? (Ctrl+F)</source>
        <translation>Filtre : partie d&apos;un nom ou d&apos;un dossier, ou motif avec * et ? (Ctrl+F)</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filtre</translation>
    </message>
</context>
<context>
    <name>trevalo::MainWindow</name>
    <message>
        <source>Trevalo - Find duplicates, Free memory, File better</source>
        <translation>Trevalo - Trouver les doublons, libérer de la place, mieux classer</translation>
    </message>
    <message>
        <source>Only names whose &amp;files differ</source>
        <translation>Seulement les noms dont les &amp;fichiers diffèrent</translation>
    </message>
    <message>
        <source>Same Name: show only the names shared by files that are not all identical, the files to rename before folders are merged</source>
        <translation>Même nom : n&apos;afficher que les noms portés par des fichiers qui ne sont pas tous identiques, les fichiers à renommer avant de fusionner des dossiers</translation>
    </message>
    <message>
        <source>%1 list</source>
        <translation>Liste %1</translation>
    </message>
    <message>
        <source>&amp;Menu</source>
        <translation>&amp;Menu</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>About Trevalo</source>
        <translation>À propos de Trevalo</translation>
    </message>
    <message>
        <source>Trevalo Web Site</source>
        <translation>Site web de Trevalo</translation>
    </message>
    <message>
        <source>&amp;Remember Proven Files</source>
        <translation>&amp;Retenir les fichiers vérifiés</translation>
    </message>
    <message>
        <source>&amp;Forget Proven Files</source>
        <translation>&amp;Oublier les fichiers vérifiés</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Ouvrir</translation>
    </message>
    <message>
        <source>Open Containing &amp;Folder</source>
        <translation>Ouvrir le &amp;dossier parent</translation>
    </message>
    <message>
        <source>Cop&amp;y Path</source>
        <translation>Cop&amp;ier le chemin</translation>
    </message>
    <message>
        <source>Copy Pat&amp;hs of Marked Files</source>
        <translation>Copier les c&amp;hemins des fichiers marqués</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>Replace &amp;with Links...</source>
        <translation>Remplacer par des &amp;liens...</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>&amp;Renommer</translation>
    </message>
    <message>
        <source>Restore &amp;Last Delete</source>
        <translation>Restaurer la dernière su&amp;ppression</translation>
    </message>
    <message>
        <source>Mark &amp;all</source>
        <translation>&amp;Tout marquer</translation>
    </message>
    <message>
        <source>Mark old&amp;er files for deletion</source>
        <translation>Marquer les fichiers plus an&amp;ciens pour suppression</translation>
    </message>
    <message>
        <source>Mark &amp;newer files for deletion</source>
        <translation>Marquer les fichiers plus réce&amp;nts pour suppression</translation>
    </message>
    <message>
        <source>&amp;Clear all marks</source>
        <translation>&amp;Effacer toutes les marques</translation>
    </message>
    <message>
        <source>&amp;Save Results...</source>
        <translation>Enre&amp;gistrer les résultats...</translation>
    </message>
    <message>
        <source>O&amp;pen Results...</source>
        <translation>Ou&amp;vrir des résultats...</translation>
    </message>
    <message>
        <source>E&amp;xport List...</source>
        <translation>E&amp;xporter la liste...</translation>
    </message>
    <message>
        <source>Mark or unmark the row</source>
        <translation>Marquer ou démarquer la ligne</translation>
    </message>
    <message>
        <source>File menu</source>
        <translation>Menu Fichier</translation>
    </message>
    <message>
        <source>Please select a file.</source>
        <translation>Veuillez sélectionner un fichier.</translation>
    </message>
    <message>
        <source>Select file</source>
        <translation>Sélectionner un fichier</translation>
    </message>
    <message>
        <source>no program could open its folder</source>
        <translation>aucun programme n&apos;a pu ouvrir son dossier</translation>
    </message>
    <message>
        <source>Path copied: %1</source>
        <translation>Chemin copié : %1</translation>
    </message>
    <message>
        <source>Open a folder in the folder list and press &quot;&gt;&quot;, use &quot;Add Folder...&quot;, or drop a folder on the path list.</source>
        <translation>Ouvrez un dossier dans la liste des dossiers et appuyez sur « &gt; », utilisez « Ajouter un dossier... », ou déposez un dossier sur la liste des chemins.</translation>
    </message>
    <message>
        <source>Proven files forgotten: the next search reads every file it compares.</source>
        <translation>Fichiers vérifiés oubliés : la prochaine recherche lira chaque fichier qu&apos;elle compare.</translation>
    </message>
    <message>
        <source>The proof cache could not be emptied:
%1</source>
        <translation>Le cache des preuves n&apos;a pas pu être vidé :
%1</translation>
    </message>
    <message>
        <source>no program could open it</source>
        <translation>aucun programme n&apos;a pu l&apos;ouvrir</translation>
    </message>
    <message>
        <source>%1 can&apos;t be opened:</source>
        <translation>%1 ne peut pas être ouvert :</translation>
    </message>
    <message>
        <source>Can&apos;t open</source>
        <translation>Impossible d&apos;ouvrir</translation>
    </message>
    <message>
        <source>The help page %1 is not where the program&apos;s data is installed.</source>
        <translation>La page d&apos;aide %1 n&apos;est pas là où les données du programme sont installées.</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 existe déjà.
Voulez-vous le remplacer ?</translation>
    </message>
    <message>
        <source>A search is running: let it end, or cancel it, first.</source>
        <translation>Une recherche est en cours : laissez-la finir, ou annulez-la, d&apos;abord.</translation>
    </message>
    <message>
        <source>Results are being opened: wait a moment.</source>
        <translation>Des résultats sont en cours d&apos;ouverture : patientez un instant.</translation>
    </message>
    <message>
        <source>Save Results</source>
        <translation>Enregistrer les résultats</translation>
    </message>
    <message>
        <source>The results could not be saved to %1:</source>
        <translation>Les résultats n&apos;ont pas pu être enregistrés dans %1 :</translation>
    </message>
    <message>
        <source>Results saved to %1</source>
        <translation>Résultats enregistrés dans %1</translation>
    </message>
    <message>
        <source>Open Results</source>
        <translation>Ouvrir des résultats</translation>
    </message>
    <message>
        <source>Opening %1 ...</source>
        <translation>Ouverture de %1 ...</translation>
    </message>
    <message>
        <source>%1 cannot be opened as results:</source>
        <translation>%1 ne peut pas être ouvert comme résultats :</translation>
    </message>
    <message>
        <source>Stopping ...</source>
        <translation>Arrêt en cours ...</translation>
    </message>
    <message>
        <source>Checking the results against the disk ...</source>
        <translation>Vérification des résultats sur le disque ...</translation>
    </message>
    <message>
        <source>Export List</source>
        <translation>Exporter la liste</translation>
    </message>
    <message>
        <source>The list could not be exported to %1:</source>
        <translation>La liste n&apos;a pas pu être exportée vers %1 :</translation>
    </message>
    <message>
        <source>List exported to %1</source>
        <translation>Liste exportée vers %1</translation>
    </message>
    <message numerus="yes">
        <source>%n paths copied</source>
        <translation>
            <numerusform>%n chemin copié</numerusform>
            <numerusform>%n chemins copiés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n listed rows kept: never marked, deleted or renamed</source>
        <translation>
            <numerusform>%n ligne listée conservée : jamais marquée, supprimée ni renommée</numerusform>
            <numerusform>%n lignes listées conservées : jamais marquées, supprimées ni renommées</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n listed rows no longer kept</source>
        <translation>
            <numerusform>%n ligne listée n&apos;est plus conservée</numerusform>
            <numerusform>%n lignes listées ne sont plus conservées</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> %n files outside the size limits were left out.</source>
        <translation>
            <numerusform> %n fichier hors des limites de taille a été écarté.</numerusform>
            <numerusform> %n fichiers hors des limites de taille ont été écartés.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> %n sizes not compared: no kept file has them.</source>
        <translation>
            <numerusform> %n taille non comparée : aucun fichier conservé ne l&apos;a.</numerusform>
            <numerusform> %n tailles non comparées : aucun fichier conservé ne les a.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Opened %1: %n rows</source>
        <translation>
            <numerusform>%1 ouvert : %n ligne</numerusform>
            <numerusform>%1 ouvert : %n lignes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n stale (changed or gone since the search)</source>
        <translation>
            <numerusform>, %n périmée (modifiée ou disparue depuis la recherche)</numerusform>
            <numerusform>, %n périmées (modifiées ou disparues depuis la recherche)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n left the lists (no other file is identical or has the name)</source>
        <translation>
            <numerusform>, %n retirée des listes (aucun autre fichier n&apos;est identique ou ne porte ce nom)</numerusform>
            <numerusform>, %n retirées des listes (aucun autre fichier n&apos;est identique ou ne porte ce nom)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n moved into groups of their own</source>
        <translation>
            <numerusform>, %n placée dans son propre groupe</numerusform>
            <numerusform>, %n placées dans leurs propres groupes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; the check was cancelled: %n rows not proven, they cannot be marked</source>
        <translation>
            <numerusform> ; la vérification a été annulée : %n ligne non vérifiée, elle ne peut pas être marquée</numerusform>
            <numerusform> ; la vérification a été annulée : %n lignes non vérifiées, elles ne peuvent pas être marquées</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>trevalo::MarkCommands</name>
    <message>
        <source>Mark duplicates, &amp;keep one per group</source>
        <translation>Marquer les doublons, garder &amp;un par groupe</translation>
    </message>
    <message>
        <source>Keep &amp;in each group</source>
        <translation>Garder dans ch&amp;aque groupe</translation>
    </message>
    <message>
        <source>A kept file is always the one kept</source>
        <translation>Un fichier conservé est toujours celui qui est gardé</translation>
    </message>
    <message>
        <source>Mark all in &amp;this folder</source>
        <translation>&amp;Marquer tout ce dossier</translation>
    </message>
    <message>
        <source>&amp;Unmark all in this folder</source>
        <translation>Démar&amp;quer tout ce dossier</translation>
    </message>
    <message>
        <source>Mark &amp;by pattern...</source>
        <translation>Marquer selon un moti&amp;f...</translation>
    </message>
    <message>
        <source>&amp;Oldest</source>
        <translation>Le plus &amp;ancien</translation>
    </message>
    <message>
        <source>&amp;Newest</source>
        <translation>Le plus &amp;récent</translation>
    </message>
    <message>
        <source>&amp;Shortest path</source>
        <translation>Le chemin le plus &amp;court</translation>
    </message>
    <message>
        <source>&amp;First in sort order</source>
        <translation>Le &amp;premier dans l&apos;ordre de tri</translation>
    </message>
    <message numerus="yes">
        <source>%n files match</source>
        <translation>
            <numerusform>%n fichier correspond</numerusform>
            <numerusform>%n fichiers correspondent</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n of them stay unmarked (kept files, folders and stale rows)</source>
        <translation>
            <numerusform> ; %n d&apos;entre eux reste non marqué (fichiers conservés, dossiers et lignes périmées)</numerusform>
            <numerusform> ; %n d&apos;entre eux restent non marqués (fichiers conservés, dossiers et lignes périmées)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>trevalo::ResultListModel</name>
    <message>
        <source>The search found no other: deleting this name frees no space.</source>
        <translation>La recherche n&apos;en a trouvé aucun autre : supprimer ce nom ne libère aucune place.</translation>
    </message>
    <message>
        <source>The search found all of them; the others are:</source>
        <translation>La recherche les a tous trouvés ; les autres sont :</translation>
    </message>
    <message>
        <source>Found only through a link to a folder</source>
        <translation>Trouvé seulement par un lien vers un dossier</translation>
    </message>
    <message>
        <source>Identical to the other files of its name with this # (its group in Duplicates)</source>
        <translation>Identique aux autres fichiers de ce nom avec ce N° (son groupe dans « Doublons »)</translation>
    </message>
    <message>
        <source>No other file of its name holds the same bytes</source>
        <translation>Aucun autre fichier de ce nom ne contient les mêmes octets</translation>
    </message>
    <message numerus="yes">
        <source>This file has %n names (hard links).</source>
        <translation>
            <numerusform>Ce fichier a %n nom (lien physique).</numerusform>
            <numerusform>Ce fichier a %n noms (liens physiques).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The search found %n of them; the others it found are:</source>
        <translation>
            <numerusform>La recherche en a trouvé %n ; les autres trouvés sont :</numerusform>
            <numerusform>La recherche en a trouvé %n ; les autres trouvés sont :</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>trevalo::SetupPanel</name>
    <message>
        <source>Select one or more path:</source>
        <translation>Choisissez un ou plusieurs chemins :</translation>
    </message>
    <message>
        <source>E&amp;xt.:</source>
        <translation>E&amp;xt. :</translation>
    </message>
    <message>
        <source>S&amp;ub-Folder</source>
        <translation>So&amp;us-dossier</translation>
    </message>
    <message>
        <source>Add F&amp;older...</source>
        <translation>Ajouter un d&amp;ossier...</translation>
    </message>
    <message>
        <source>Exclu&amp;de:</source>
        <translation>&amp;Exclure :</translation>
    </message>
    <message>
        <source>M&amp;in size:</source>
        <translation>Taille m&amp;in. :</translation>
    </message>
    <message>
        <source>Max si&amp;ze:</source>
        <translation>&amp;Taille max. :</translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation>Re&amp;chercher</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>&amp;Nouvelle recherche</translation>
    </message>
    <message>
        <source>Search t&amp;ype:</source>
        <translation>T&amp;ype de recherche :</translation>
    </message>
    <message>
        <source>&amp;Menu</source>
        <translation>&amp;Menu</translation>
    </message>
    <message>
        <source>Only &amp;groups with a kept file</source>
        <translation>Seulement les &amp;groupes avec un fichier conservé</translation>
    </message>
    <message>
        <source>List only the groups of identical files that hold a file of a Keep path; sizes no kept file has are not compared</source>
        <translation>Ne lister que les groupes de fichiers identiques qui contiennent un fichier d&apos;un chemin à conserver ; les tailles qu&apos;aucun fichier conservé n&apos;a ne sont pas comparées</translation>
    </message>
    <message>
        <source>Files and folders the search leaves out, separated by &quot;;&quot; (* and ? as in the pattern). A pattern without &quot;/&quot; is matched against the name of a file or folder; one with &quot;/&quot; against the whole path. A pattern ending in &quot;/&quot; matches folders only. An excluded folder is not entered.
Example: .git; node_modules/; *.tmp</source>
        <translation>Fichiers et dossiers que la recherche écarte, séparés par « ; » (* et ? comme dans le motif). Un motif sans « / » est comparé au nom d&apos;un fichier ou d&apos;un dossier ; un motif avec « / » au chemin complet. Un motif finissant par « / » ne correspond qu&apos;aux dossiers. Un dossier exclu n&apos;est pas parcouru.
Exemple : .git; node_modules/; *.tmp</translation>
    </message>
    <message>
        <source>A size, with a unit typed or chosen beside it (1 KB = 1000 bytes); empty for no limit. Files outside the limits are left out of the search.</source>
        <translation>Une taille, avec une unité tapée ou choisie à côté (1 KB = 1000 octets) ; vide pour aucune limite. Les fichiers hors des limites sont écartés de la recherche.</translation>
    </message>
    <message>
        <source>Exclude</source>
        <translation>Exclure</translation>
    </message>
    <message>
        <source>Min size</source>
        <translation>Taille min.</translation>
    </message>
    <message>
        <source>Min size unit</source>
        <translation>Unité de la taille min.</translation>
    </message>
    <message>
        <source>Max size</source>
        <translation>Taille max.</translation>
    </message>
    <message>
        <source>Max size unit</source>
        <translation>Unité de la taille max.</translation>
    </message>
    <message>
        <source>Add the highlighted folder with this pattern (Alt+A)</source>
        <translation>Ajouter le dossier en surbrillance avec ce motif (Alt+A)</translation>
    </message>
    <message>
        <source>Remove the selected path (Alt+R)</source>
        <translation>Retirer le chemin sélectionné (Alt+R)</translation>
    </message>
    <message>
        <source>Choose a folder to add with this pattern</source>
        <translation>Choisir un dossier à ajouter avec ce motif</translation>
    </message>
    <message>
        <source>Drop folders here to add them</source>
        <translation>Déposez des dossiers ici pour les ajouter</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Lecteur</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Dossiers</translation>
    </message>
    <message>
        <source>File name pattern</source>
        <translation>Motif de nom de fichier</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Search paths</source>
        <translation>Chemins de recherche</translation>
    </message>
    <message>
        <source>Search types</source>
        <translation>Types de recherche</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Chemin</translation>
    </message>
    <message>
        <source>Sub-folder</source>
        <translation>Sous-dossier</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>Conserver</translation>
    </message>
    <message>
        <source>Files under a kept path are searched and listed, but never marked, deleted or renamed (Space or Alt+K on a row ticks its box)</source>
        <translation>Les fichiers sous un chemin conservé sont parcourus et listés, mais jamais marqués, supprimés ni renommés (Espace ou Alt+K sur une ligne coche sa case)</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Ajouter un dossier</translation>
    </message>
    <message>
        <source>Type a number, with B, KB, MB or GB if the unit beside it is not meant, e.g. &quot;1.5 MB&quot;; leave it empty for no limit.</source>
        <translation>Tapez un nombre, avec B, KB, MB ou GB si l&apos;unité à côté n&apos;est pas celle voulue, par ex. « 1.5 MB » ; laissez vide pour aucune limite.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a size for Min size.</source>
        <translation>« %1 » n&apos;est pas une taille pour Taille min.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a size for Max size.</source>
        <translation>« %1 » n&apos;est pas une taille pour Taille max.</translation>
    </message>
    <message>
        <source>Min size (%1) is larger than Max size (%2): no file could be found.</source>
        <translation>La taille min. (%1) est plus grande que la taille max. (%2) : aucun fichier ne pourrait être trouvé.</translation>
    </message>
    <message>
        <source>e.g. .git; *.tmp</source>
        <translation>par ex. .git; *.tmp</translation>
    </message>
    <message>
        <source>none</source>
        <translation>aucune</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Annu&amp;ler</translation>
    </message>
</context>
</TS>
