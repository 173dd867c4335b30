<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
    <context>
        <name>AlbumBanner</name>
        <message>
            <source>Done</source>
            <extracomment>A button: leave the album's search (finished with it).</extracomment>
            <translation>Fertig</translation>
        </message>
        <message>
            <source>Search as usual, for no album of the library</source>
            <translation>Wie gewohnt suchen, für kein Album der Bibliothek</translation>
        </message>
        <message>
            <source>Finding the cover for %1 (%2)</source>
            <translation>Cover für %1 (%2) wird gesucht</translation>
        </message>
    </context>
    <context>
        <name>AlbumCoverWriter</name>
        <message>
            <source>the cover could not be encoded</source>
            <translation>das Cover konnte nicht kodiert werden</translation>
        </message>
        <message>
            <source>Another run is embedding covers in %1; waiting for it to finish.</source>
            <translation>Ein anderer Lauf bettet gerade Cover in %1 ein; es wird gewartet, bis er fertig ist.</translation>
        </message>
        <message>
            <source>the cover is no picture that can be embedded</source>
            <translation>das Cover ist kein Bild, das eingebettet werden kann</translation>
        </message>
    </context>
    <context>
        <name>AlbumReport</name>
        <message numerus="yes">
            <source>%Ln file(s)</source>
            <translation>
                <numerusform>%Ln Datei</numerusform>
                <numerusform>%Ln Dateien</numerusform>
            </translation>
        </message>
        <message>
            <source>Saved</source>
            <translation>Gespeichert</translation>
        </message>
        <message>
            <source>Saved as “%1”, embedded in %2</source>
            <translation>Gespeichert als „%1“, eingebettet in %2</translation>
        </message>
        <message>
            <source>Saved as “%1”</source>
            <translation>Gespeichert als „%1“</translation>
        </message>
        <message>
            <source>Would be saved</source>
            <translation>Würde gespeichert</translation>
        </message>
        <message>
            <source>Would be saved as “%1”</source>
            <translation>Würde gespeichert als „%1“</translation>
        </message>
        <message>
            <source>Already had a cover</source>
            <translation>Hatte schon ein Cover</translation>
        </message>
        <message>
            <source>Cover file embedded</source>
            <translation>Cover-Datei eingebettet</translation>
        </message>
        <message>
            <source>Cover file embedded in %1</source>
            <translation>Cover-Datei eingebettet in %1</translation>
        </message>
        <message>
            <source>Upgraded</source>
            <translation>Verbessert</translation>
        </message>
        <message>
            <source>Upgraded “%1” to %2</source>
            <translation>„%1“ verbessert auf %2</translation>
        </message>
        <message>
            <source>Kept its cover</source>
            <translation>Cover behalten</translation>
        </message>
        <message>
            <source>Kept its cover: %1</source>
            <translation>Cover behalten: %1</translation>
        </message>
        <message>
            <source>Restored</source>
            <translation>Wiederhergestellt</translation>
        </message>
        <message>
            <source>Put back “%1”</source>
            <translation>„%1“ zurückgelegt</translation>
        </message>
        <message>
            <source>No confident match</source>
            <translation>Kein sicherer Treffer</translation>
        </message>
        <message>
            <source>Not in the catalogue</source>
            <translation>Nicht im Katalog</translation>
        </message>
        <message>
            <source>No confident match (best: %1 – %2)</source>
            <translation>Kein sicherer Treffer (bester: %1 – %2)</translation>
        </message>
        <message>
            <source>Ambiguous</source>
            <translation>Mehrdeutig</translation>
        </message>
        <message numerus="yes">
            <source>Ambiguous: %Ln albums match alike</source>
            <translation>
                <numerusform>Mehrdeutig: %Ln Album passt gleich gut</numerusform>
                <numerusform>Mehrdeutig: %Ln Alben passen gleich gut</numerusform>
            </translation>
        </message>
        <message>
            <source>Mixed folders</source>
            <translation>Gemischte Ordner</translation>
        </message>
        <message>
            <source>Mixed folder: %1</source>
            <translation>Gemischter Ordner: %1</translation>
        </message>
        <message>
            <source>Failed</source>
            <translation>Fehlgeschlagen</translation>
        </message>
        <message>
            <source>Failed: %1</source>
            <translation>Fehlgeschlagen: %1</translation>
        </message>
        <message>
            <source>Embedding failed</source>
            <translation>Einbetten fehlgeschlagen</translation>
        </message>
        <message>
            <source>Saved; embedding failed: %1</source>
            <translation>Gespeichert; Einbetten fehlgeschlagen: %1</translation>
        </message>
        <message>
            <source>Skipped (tags too slow to read)</source>
            <translation>Übersprungen (Tags zu langsam lesbar)</translation>
        </message>
        <message>
            <source>Skipped: its tags took too long to read</source>
            <translation>Übersprungen: Das Lesen der Tags dauerte zu lange</translation>
        </message>
        <message>
            <source>%1 × %2</source>
            <extracomment>A picture's size in pixels: "600 × 600".</extracomment>
            <translation>%1 × %2</translation>
        </message>
    </context>
    <context>
        <name>AlbumScanner</name>
        <message>
            <source>its path is longer than the system allows</source>
            <translation>sein Pfad ist länger, als das System erlaubt</translation>
        </message>
    </context>
    <context>
        <name>AlbumTarget</name>
        <message>
            <source>the folder has a file of that name</source>
            <translation>der Ordner enthält eine Datei dieses Namens</translation>
        </message>
        <message>
            <source>Couldn't save “%1” in %2: %3.</source>
            <translation>„%1“ konnte nicht in %2 gespeichert werden: %3.</translation>
        </message>
        <message>
            <source>Saved “%1” into %2.</source>
            <translation>„%1“ in %2 gespeichert.</translation>
        </message>
        <message numerus="yes">
            <source>The cover went into %Ln file(s), but not into these: %1</source>
            <translation>
                <numerusform>Das Cover kam in %Ln Datei, aber nicht in diese: %1</numerusform>
                <numerusform>Das Cover kam in %Ln Dateien, aber nicht in diese: %1</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Embedded the cover into %Ln file(s).</source>
            <translation>
                <numerusform>Das Cover wurde in %Ln Datei eingebettet.</numerusform>
                <numerusform>Das Cover wurde in %Ln Dateien eingebettet.</numerusform>
            </translation>
        </message>
    </context>
    <context>
        <name>Alerts</name>
        <message>
            <source>Whoops…</source>
            <extracomment>The title of every alert.</extracomment>
            <translation>Hoppla …</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
    </context>
    <context>
        <name>Application</name>
        <message>
            <source>Fill Covers in Folder</source>
            <translation>Cover in Ordner ergänzen</translation>
        </message>
        <message>
            <source>About Sleevanta</source>
            <translation>Über Sleevanta</translation>
        </message>
        <message>
            <source>&lt;b&gt;Sleevanta %1&lt;/b&gt;&lt;p&gt;Finds cover artwork in the iTunes Store catalogue and saves it.&lt;/p&gt;</source>
            <translation>&lt;b&gt;Sleevanta %1&lt;/b&gt;&lt;p&gt;Findet Cover-Bilder im Katalog des iTunes Store und speichert sie.&lt;/p&gt;</translation>
        </message>
        <message numerus="yes">
            <source>%Ln Images: %1</source>
            <extracomment>The cache readout in the Edit menu: how many images, and their size.</extracomment>
            <translation>
                <numerusform>%Ln Bild: %1</numerusform>
                <numerusform>%Ln Bilder: %1</numerusform>
            </translation>
        </message>
        <message>
            <source>Only files on this computer can be opened, not %1.</source>
            <translation>Nur Dateien auf diesem Computer können geöffnet werden, nicht %1.</translation>
        </message>
    </context>
    <context>
        <name>AudioFormats</name>
        <message>
            <source>covers are not embedded into %1 files</source>
            <translation>in %1-Dateien werden keine Cover eingebettet</translation>
        </message>
        <message>
            <source>the tags could not be written</source>
            <translation>die Tags konnten nicht geschrieben werden</translation>
        </message>
        <message>
            <source>it holds no FLAC audio</source>
            <translation>sie enthält kein FLAC-Audio</translation>
        </message>
        <message>
            <source>its FLAC metadata is damaged</source>
            <translation>ihre FLAC-Metadaten sind beschädigt</translation>
        </message>
        <message>
            <source>it holds no audio after its metadata</source>
            <translation>sie enthält nach den Metadaten kein Audio</translation>
        </message>
        <message>
            <source>the picture is too large for it</source>
            <translation>das Bild ist zu groß für sie</translation>
        </message>
        <message>
            <source>the copy's audio differs</source>
            <translation>das Audio der Kopie weicht ab</translation>
        </message>
        <message>
            <source>its ID3v2 tag has compressed or encrypted frames</source>
            <translation>ihr ID3v2-Tag hat komprimierte oder verschlüsselte Frames</translation>
        </message>
        <message>
            <source>its ID3v2 tag is unsynchronised</source>
            <translation>ihr ID3v2-Tag ist desynchronisiert</translation>
        </message>
        <message>
            <source>its ID3v2 tag is damaged</source>
            <translation>ihr ID3v2-Tag ist beschädigt</translation>
        </message>
        <message>
            <source>its ID3v2.2 tag is compressed</source>
            <translation>ihr ID3v2.2-Tag ist komprimiert</translation>
        </message>
        <message>
            <source>its ID3v2.3 tag has an extended header</source>
            <translation>ihr ID3v2.3-Tag hat einen erweiterten Header</translation>
        </message>
        <message>
            <source>its ID3v2 tag carries a checksum</source>
            <translation>ihr ID3v2-Tag trägt eine Prüfsumme</translation>
        </message>
        <message>
            <source>its ID3v2.4 tag has frame sizes that readers disagree on</source>
            <translation>ihr ID3v2.4-Tag hat Frame-Größen, die Leseprogramme verschieden deuten</translation>
        </message>
        <message>
            <source>its MP4 structure is damaged</source>
            <translation>ihre MP4-Struktur ist beschädigt</translation>
        </message>
        <message>
            <source>its chunk offset table claims more entries than it holds</source>
            <translation>ihre Chunk-Offset-Tabelle gibt mehr Einträge an, als sie enthält</translation>
        </message>
        <message>
            <source>its chunk offsets point outside the file's boxes</source>
            <translation>ihre Chunk-Offsets zeigen aus den Boxen der Datei hinaus</translation>
        </message>
        <message>
            <source>the copy's boxes differ</source>
            <translation>die Boxen der Kopie weichen ab</translation>
        </message>
        <message>
            <source>the copy's %1 box differs</source>
            <translation>die %1-Box der Kopie weicht ab</translation>
        </message>
        <message>
            <source>the copy's chunk offsets differ</source>
            <translation>die Chunk-Offsets der Kopie weichen ab</translation>
        </message>
        <message>
            <source>the copy's chunk offsets no longer point at its audio</source>
            <translation>die Chunk-Offsets der Kopie zeigen nicht mehr auf ihr Audio</translation>
        </message>
        <message>
            <source>it holds no MP4 audio</source>
            <translation>sie enthält kein MP4-Audio</translation>
        </message>
        <message>
            <source>TagLib cannot read its tags</source>
            <translation>TagLib kann ihre Tags nicht lesen</translation>
        </message>
        <message>
            <source>the copy could not be read</source>
            <translation>die Kopie konnte nicht gelesen werden</translation>
        </message>
        <message>
            <source>TagLib would not keep its other tags as they are</source>
            <translation>TagLib würde ihre übrigen Tags nicht unverändert lassen</translation>
        </message>
        <message>
            <source>the copy's tag lost frames</source>
            <translation>der Tag der Kopie hat Frames verloren</translation>
        </message>
        <message>
            <source>its Ogg pages are damaged</source>
            <translation>ihre Ogg-Seiten sind beschädigt</translation>
        </message>
        <message>
            <source>it holds several streams side by side</source>
            <translation>sie enthält mehrere Streams nebeneinander</translation>
        </message>
        <message>
            <source>covers are put into Ogg Vorbis and Opus files only</source>
            <translation>Cover werden nur in Ogg-Vorbis- und Opus-Dateien eingebettet</translation>
        </message>
        <message>
            <source>the copy's Ogg pages have wrong checksums</source>
            <translation>die Ogg-Seiten der Kopie haben falsche Prüfsummen</translation>
        </message>
    </context>
    <context>
        <name>CandidateStrip</name>
        <message>
            <source>Candidates</source>
            <translation>Kandidaten</translation>
        </message>
        <message>
            <source>The albums that match alike; Return saves the current one's cover into the album folder</source>
            <translation>Die Alben, die gleich gut passen; die Eingabetaste speichert das Cover des aktuellen in den Albumordner</translation>
        </message>
        <message numerus="yes">
            <source>%Ln track(s)</source>
            <translation>
                <numerusform>%Ln Titel</numerusform>
                <numerusform>%Ln Titel</numerusform>
            </translation>
        </message>
        <message>
            <source>explicit</source>
            <translation>explizit</translation>
        </message>
        <message>
            <source>clean</source>
            <translation>jugendfrei</translation>
        </message>
        <message>
            <source>Candidates for %1</source>
            <translation>Kandidaten für %1</translation>
        </message>
    </context>
    <context>
        <name>CheckedRewrite</name>
        <message>
            <source>it is no file</source>
            <translation>sie ist keine Datei</translation>
        </message>
        <message>
            <source>it is open for writing in another program</source>
            <translation>sie ist in einem anderen Programm zum Schreiben geöffnet</translation>
        </message>
        <message>
            <source>stopped; it was left as it was</source>
            <translation>angehalten; sie blieb, wie sie war</translation>
        </message>
        <message>
            <source>another program opened it for writing; it was left as it was</source>
            <translation>ein anderes Programm hat sie zum Schreiben geöffnet; sie blieb, wie sie war</translation>
        </message>
        <message>
            <source>not enough space on the disk of %1</source>
            <translation>nicht genug Platz auf dem Datenträger von %1</translation>
        </message>
        <message>
            <source>the copy could not be written: %1</source>
            <translation>die Kopie konnte nicht geschrieben werden: %1</translation>
        </message>
        <message>
            <source>the folder %1 cannot be written</source>
            <translation>in den Ordner %1 kann nicht geschrieben werden</translation>
        </message>
        <message>
            <source>it ended before it was copied</source>
            <translation>sie endete, bevor sie kopiert war</translation>
        </message>
        <message>
            <source>the copy is not as long as it should be</source>
            <translation>die Kopie ist nicht so lang, wie sie sein sollte</translation>
        </message>
        <message>
            <source>the copy could not be damaged</source>
            <translation>die Kopie konnte nicht beschädigt werden</translation>
        </message>
        <message>
            <source>its extended attribute %1 could not be carried over: %2</source>
            <translation>ihr erweitertes Attribut %1 konnte nicht übernommen werden: %2</translation>
        </message>
        <message>
            <source>the copy's owner or group cannot be set</source>
            <translation>eigentümer oder Gruppe der Kopie können nicht gesetzt werden</translation>
        </message>
        <message>
            <source>the copy's permissions cannot be set: %1</source>
            <translation>die Zugriffsrechte der Kopie können nicht gesetzt werden: %1</translation>
        </message>
        <message>
            <source>it changed while it was being rewritten</source>
            <translation>sie hat sich geändert, während sie neu geschrieben wurde</translation>
        </message>
    </context>
    <context>
        <name>Cli</name>
        <message>
            <source>Usage: sleevanta-cli search [--media TITLE] [--country CODE] [--json] TERM
       sleevanta-cli save [--media TITLE] [--country CODE] [--quality standard|high]
                          [--index N] [--to DIR] TERM
       sleevanta-cli fill [--dry-run] [--quality standard|high] [--country CODE]
                          [--name NAME] [--interval SECONDS] [--embed [--embed-size PX]]
                          [--retry] [--upgrade PX] [--json] DIR
       sleevanta-cli choose [--quality standard|high] [--country CODE] [--name NAME]
                          [--embed [--embed-size PX]] [--json] FOLDER ID
       sleevanta-cli restore [--forget] [--json] DIR
       sleevanta-cli embed [--replace] [--embed-size PX] [--json] IMAGE FILE|DIR...

search  searches the iTunes Store catalogue for TERM and prints one line per item,
        numbered from 0 as save's --index counts.
save    searches the same way, downloads the cover of item N of the list and saves
        it as JPEG into DIR under the cover file name of Sleevanta's settings,
        never replacing a file (a numbered name is taken), and prints its path,
        then its pixel size, format, download size and kind (original or
        rendition).

fill    finds the album folders below DIR that have no cover yet, reads their
        tags and asks the catalogue in as few requests as it takes: the albums'
        store ids and barcodes, many at a time; then one listing per artist;
        then a search for each album left. The cover of a confident match is
        saved into the album's folder (and its disc folders), never replacing a
        file; an album without one is reported and left alone. Requests are
        paced; what found no match is remembered for 30 days in the library's
        journal (~/.local/state/Sleevanta/journals) and not asked about again.
        With --upgrade PX, albums whose largest cover (a file, or with --embed an
        embedded one) is smaller than PX pixels on its shorter side are asked
        about too: a cover gives way only to a larger rendition of the same
        picture, and never when it was chosen by hand; what it replaces is kept
        aside first.
choose  gives the album in FOLDER the cover of catalogue item ID (an album, or
        a song of it), under fill's cover name, replacing the covers players
        read there (kept aside first); no later fill replaces a chosen cover.
restore puts back every cover that fill --upgrade or choose replaced in the
        album folders at and below DIR, byte for byte (kept aside under
        ~/.local/state/Sleevanta/replaced); a cover changed since, or whose
        folder moved, is left and reported. --forget lets the kept covers go.
embed   puts IMAGE into the given audio files, or the audio files of the given
        album folders, as their front cover; a file that has one keeps it. Each
        file is rewritten as a copy checked byte for byte against it; a file
        whose content is not what its name says, or that another program has
        open for writing, is left alone with the reason.

TERM may also be a store link (music.apple.com, apps.apple.com, ...) or a bare
catalogue id: then that very item is looked up.

Options:
  --media TITLE    media kind, one of: Audiobooks, eBooks, Movies, Music,
                   Music Videos, Podcasts, Short Films, Software, TV Shows
                   in any case (default: Music)
  --country CODE   two-letter storefront code, in either case (default: US);
                   fill takes a list (US,GB,JP): an album without a match in
                   one is asked about in the next (an MP4 file's own
                   storefront first), and the report names where its cover
                   came from
  --json           search: one JSON object per item and line (fill: per album
                   folder, as each is done; embed: per file, with file, status
                   and reason); search's objects have the fields
                   artistName, artworkUrl, collectionId, collectionName,
                   collectionViewUrl, entityString, highResolutionUrl,
                   iTunesUrl, standardResolutionUrl, webBrowserUrl
  --quality Q      save, fill: standard (600x600, the default) or high: the
                   original upload, else the largest rendition the servers have
  --index N        save: the item's position in the list, from 0 (default: 0)
  --to DIR         save: the folder to save into (default: the Downloads folder)
  --name NAME      fill: the cover's file name (default: cover.jpg, which every
                   common player reads); %{artistName}, %{collectionName} and
                   %{year} are filled in; it ends in .jpg or .jpeg
  --interval S     fill: the least seconds between catalogue requests, 0 to 3600
                   (default 3)
  --dry-run        fill: search and report, write nothing
  --embed          fill: also embed the cover into the album's audio files (MP3,
                   FLAC, MP4, Ogg Vorbis, Opus) that carry none; an album with a
                   cover file gets that file embedded, without a request
  --embed-size PX  fill, embed: a larger cover is embedded as a JPEG of at most
                   PX pixels (default 1500); the cover file keeps the original
  --retry          fill: ask again about the albums the journal remembers
  --replace        embed: replace a file's front cover (else it is kept)
  --upgrade PX     fill: also replace covers smaller than PX pixels, 16 to
                   10000, by larger ones of the same picture
  --forget         restore: let the kept covers go instead of putting them back
  -h, --help       show this help
  --version        show the version

Exit status: 0 done (a search that finds no items included; a fill whose every
album was saved, covered, planned, embedded, upgraded, kept, without a
confident match, ambiguous or mixed; a restore that put back every cover),
1 a fill, embed or restore completed but some album or file failed (a
download, a write, an embedding, a tag read that took too long, a cover
changed since or a folder moved),
2 no request URL could be formed, 3 the answer could not be read, 4 the
catalogue could not be reached, refused for its rate limit, failed or never
answered, 5 the cover could not be downloaded or written (or there is no
item N), 64 usage error, 130 stopped with Ctrl+C (143 by SIGTERM, 129 by
SIGHUP; the file under way is left as it was; run it again to go on).

The environment variable SLEEVANTA_SERVICE_ORIGIN (e.g. http://127.0.0.1:8642)
sends every request to that origin instead of the store's servers.
</source>
            <translation>Aufruf: sleevanta-cli search [--media TITEL] [--country KÜRZEL] [--json] BEGRIFF
        sleevanta-cli save [--media TITEL] [--country KÜRZEL] [--quality standard|high]
                           [--index N] [--to ORDNER] BEGRIFF
        sleevanta-cli fill [--dry-run] [--quality standard|high] [--country KÜRZEL]
                           [--name NAME] [--interval SEKUNDEN] [--embed [--embed-size PX]]
                           [--retry] [--upgrade PX] [--json] ORDNER
        sleevanta-cli choose [--quality standard|high] [--country KÜRZEL] [--name NAME]
                           [--embed [--embed-size PX]] [--json] ALBUMORDNER ID
        sleevanta-cli restore [--forget] [--json] ORDNER
        sleevanta-cli embed [--replace] [--embed-size PX] [--json] BILD DATEI|ORDNER...

search  sucht BEGRIFF im Katalog des iTunes Store und gibt je Eintrag eine Zeile
        aus, von 0 an nummeriert, wie save mit --index zählt.
save    sucht ebenso, lädt das Cover von Eintrag N der Liste herunter und
        speichert es als JPEG in ORDNER unter dem Cover-Dateinamen aus Sleevantas
        Einstellungen, ohne je eine Datei zu ersetzen (dann wird ein nummerierter
        Name gewählt), und gibt seinen Pfad aus, dann seine Pixelgröße, sein
        Format, seine Downloadgröße und seine Art (original oder rendition).

fill    findet die Albumordner unter ORDNER, die noch kein Cover haben, liest ihre
        Tags und fragt den Katalog in so wenigen Anfragen wie nötig: die
        Store-IDs und Barcodes der Alben, viele auf einmal; dann eine Liste je
        Interpret; dann eine Suche je übrigem Album. Das Cover eines sicheren
        Treffers wird in den Albumordner (und seine CD-Ordner) gespeichert, ohne
        je eine Datei zu ersetzen; ein Album ohne sicheren Treffer wird gemeldet
        und so gelassen. Anfragen sind getaktet; was keinen Treffer fand, merkt
        sich das Journal der Bibliothek 30 Tage lang
        (~/.local/state/Sleevanta/journals) und fragt nicht erneut danach.
        Mit --upgrade PX werden auch Alben erfragt, deren größtes Cover (eine
        Datei, oder mit --embed ein eingebettetes) an seiner kürzeren Seite
        kleiner als PX Pixel ist: Ein Cover weicht nur einer größeren Fassung
        desselben Bildes und nie, wenn es von Hand gewählt wurde; was es
        ersetzt, wird zuerst beiseitegelegt.
choose  gibt dem Album in ALBUMORDNER das Cover des Katalogeintrags ID (ein Album
        oder ein Song daraus) unter dem Cover-Namen von fill und ersetzt die
        Cover, die Player dort lesen (zuerst beiseitegelegt); kein späteres fill
        ersetzt ein gewähltes Cover.
restore legt jedes Cover zurück, das fill --upgrade oder choose in den
        Albumordnern in und unter ORDNER ersetzt hat, Byte für Byte
        (beiseitegelegt unter ~/.local/state/Sleevanta/replaced); ein seither
        geändertes Cover oder eines, dessen Ordner verschoben wurde, bleibt und
        wird gemeldet. --forget gibt die aufbewahrten Cover frei.
embed   legt BILD als Front-Cover in die angegebenen Audiodateien oder in die
        Audiodateien der angegebenen Albumordner; eine Datei, die eines hat,
        behält es. Jede Datei wird als Kopie neu geschrieben und Byte für Byte
        gegen sie geprüft; eine Datei, deren Inhalt nicht ist, was ihr Name
        sagt, oder die ein anderes Programm zum Schreiben geöffnet hat, bleibt
        mit dem Grund unverändert.

BEGRIFF darf auch ein Store-Link (music.apple.com, apps.apple.com, ...) oder eine
bloße Katalog-ID sein: Dann wird genau dieser Eintrag nachgeschlagen.

Optionen:
  --media TITEL    Medienart, eine von: Audiobooks, eBooks, Movies, Music,
                   Music Videos, Podcasts, Short Films, Software, TV Shows
                   in beliebiger Schreibung (Standard: Music)
  --country KÜRZEL zweibuchstabiges Store-Kürzel, in beliebiger Schreibung
                   (Standard: US); fill nimmt eine Liste (US,GB,JP): Ein Album
                   ohne Treffer in einem wird im nächsten erfragt (der eigene
                   Store einer MP4-Datei zuerst), und der Bericht nennt, woher
                   sein Cover kam
  --json           search: ein JSON-Objekt je Eintrag und Zeile (fill: je
                   Albumordner, sobald er fertig ist; embed: je Datei, mit file,
                   status und reason); die Objekte von search haben die Felder
                   artistName, artworkUrl, collectionId, collectionName,
                   collectionViewUrl, entityString, highResolutionUrl,
                   iTunesUrl, standardResolutionUrl, webBrowserUrl
  --quality Q      save, fill: standard (600x600, der Standard) oder high: das
                   hochgeladene Original, sonst die größte Fassung der Server
  --index N        save: die Position des Eintrags in der Liste, ab 0
                   (Standard: 0)
  --to ORDNER      save: der Zielordner (Standard: der Download-Ordner)
  --name NAME      fill: der Dateiname des Covers (Standard: cover.jpg, den jeder
                   gängige Player liest); %{artistName}, %{collectionName} und
                   %{year} werden ausgefüllt; er endet auf .jpg oder .jpeg
  --interval S     fill: die kleinste Zahl Sekunden zwischen Katalog-Anfragen,
                   0 bis 3600 (Standard 3)
  --dry-run        fill: suchen und berichten, nichts schreiben
  --embed          fill: das Cover auch in die Audiodateien des Albums (MP3,
                   FLAC, MP4, Ogg Vorbis, Opus) einbetten, die keines tragen;
                   ein Album mit Cover-Datei bekommt diese Datei eingebettet,
                   ohne Anfrage
  --embed-size PX  fill, embed: ein größeres Cover wird als JPEG von höchstens
                   PX Pixeln eingebettet (Standard 1500); die Cover-Datei behält
                   das Original
  --retry          fill: erneut nach den Alben fragen, die das Journal kennt
  --replace        embed: das Front-Cover einer Datei ersetzen (sonst bleibt es)
  --upgrade PX     fill: auch Cover, die kleiner als PX Pixel sind (16 bis
                   10000), durch größere desselben Bildes ersetzen
  --forget         restore: die aufbewahrten Cover freigeben, statt sie
                   zurückzulegen
  -h, --help       diese Hilfe zeigen
  --version        die Version zeigen

Exit-Status: 0 fertig (auch eine Suche ohne Einträge; ein fill, in dem jedes
Album gespeichert, bedeckt, geplant, eingebettet, verbessert, behalten, ohne
sicheren Treffer, mehrdeutig oder gemischt war; ein restore, das jedes Cover
zurücklegte),
1 ein fill, embed oder restore lief durch, aber ein Album oder eine Datei schlug
fehl (ein Download, ein Schreiben, ein Einbetten, ein zu langes Lesen der Tags,
ein seither geändertes Cover oder ein verschobener Ordner),
2 keine Anfrage-URL ließ sich bilden, 3 die Antwort war nicht lesbar, 4 der
Katalog war nicht erreichbar, lehnte wegen seiner Anfragegrenze ab, schlug fehl
oder antwortete nie, 5 das Cover konnte nicht heruntergeladen oder geschrieben
werden (oder es gibt keinen Eintrag N), 64 Aufruffehler, 130 mit Strg+C
angehalten (143 durch SIGTERM, 129 durch SIGHUP; die Datei in Arbeit bleibt,
wie sie war; erneut ausführen, um fortzufahren).

Die Umgebungsvariable SLEEVANTA_SERVICE_ORIGIN (z. B. http://127.0.0.1:8642)
schickt jede Anfrage an diesen Ursprung statt an die Server des Stores.
</translation>
        </message>
        <message>
            <source>Try 'sleevanta-cli --help'</source>
            <translation>Siehe 'sleevanta-cli --help'</translation>
        </message>
        <message>
            <source>unknown media title "%1"</source>
            <translation>unbekannter Medientitel „%1“</translation>
        </message>
        <message numerus="yes">
            <source>unknown storefront code(s): %1</source>
            <translation>
                <numerusform>unbekanntes Store-Kürzel: %1</numerusform>
                <numerusform>unbekannte Store-Kürzel: %1</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>storefront code(s) given twice: %1</source>
            <translation>
                <numerusform>doppelt angegebenes Store-Kürzel: %1</numerusform>
                <numerusform>doppelt angegebene Store-Kürzel: %1</numerusform>
            </translation>
        </message>
        <message>
            <source>only fill asks several storefronts</source>
            <translation>nur fill fragt mehrere Stores</translation>
        </message>
        <message>
            <source>unknown command "%1"</source>
            <translation>unbekannter Befehl „%1“</translation>
        </message>
        <message>
            <source>unknown option "%1"</source>
            <translation>unbekannte Option „%1“</translation>
        </message>
        <message numerus="yes">
            <source>%1 belongs to the command(s) %2</source>
            <translation>
                <numerusform>%1 gehört zum Befehl %2</numerusform>
                <numerusform>%1 gehört zu den Befehlen %2</numerusform>
            </translation>
        </message>
        <message>
            <source>%1 needs a value</source>
            <translation>%1 braucht einen Wert</translation>
        </message>
        <message>
            <source>%1 does not take "%2"</source>
            <translation>%1 nimmt „%2“ nicht an</translation>
        </message>
        <message>
            <source>give a picture and the audio files or folders</source>
            <translation>ein Bild und die Audiodateien oder Ordner angeben</translation>
        </message>
        <message>
            <source>give an album folder and a catalogue id</source>
            <translation>einen Albumordner und eine Katalog-ID angeben</translation>
        </message>
        <message>
            <source>give exactly one folder</source>
            <translation>genau einen Ordner angeben</translation>
        </message>
        <message>
            <source>give exactly one search term (quote it if it has blanks)</source>
            <translation>genau einen Suchbegriff angeben (in Anführungszeichen, wenn er Leerzeichen enthält)</translation>
        </message>
        <message>
            <source>the search term is empty</source>
            <translation>der Suchbegriff ist leer</translation>
        </message>
        <message>
            <source>"%1" is no folder</source>
            <translation>„%1“ ist kein Ordner</translation>
        </message>
        <message>
            <source>--name "%1": %2</source>
            <translation>--name „%1“: %2</translation>
        </message>
        <message>
            <source>sleevanta-cli: there is no item %1 in the catalogue of %2</source>
            <translation>sleevanta-cli: Im Katalog von %2 gibt es keinen Eintrag %1</translation>
        </message>
        <message>
            <source>item %1 is no album or song (it is of the kind "%2")</source>
            <translation>Eintrag %1 ist kein Album und kein Song (er ist von der Art „%2“)</translation>
        </message>
        <message>
            <source>sleevanta-cli: "%1" holds no audio files</source>
            <translation>sleevanta-cli: „%1“ enthält keine Audiodateien</translation>
        </message>
        <message>
            <source>embedded: %1</source>
            <translation>eingebettet: %1</translation>
        </message>
        <message>
            <source>kept its cover: %1</source>
            <translation>Cover behalten: %1</translation>
        </message>
        <message>
            <source>not embeddable: %1 (%2)</source>
            <translation>nicht einbettbar: %1 (%2)</translation>
        </message>
        <message>
            <source>failed: %1 (%2)</source>
            <translation>fehlgeschlagen: %1 (%2)</translation>
        </message>
        <message>
            <source>stopped: %1 (%2)</source>
            <translation>angehalten: %1 (%2)</translation>
        </message>
        <message>
            <source>cannot read the picture "%1"</source>
            <translation>das Bild „%1“ kann nicht gelesen werden</translation>
        </message>
        <message>
            <source>"%1" is no picture</source>
            <translation>„%1“ ist kein Bild</translation>
        </message>
        <message>
            <source>Stopped; the files not listed above were left as they were.</source>
            <translation>Angehalten; die oben nicht genannten Dateien blieben, wie sie waren.</translation>
        </message>
        <message>
            <source>No audio files found.</source>
            <translation>Keine Audiodateien gefunden.</translation>
        </message>
        <message>
            <source>about %1 left</source>
            <translation>noch etwa %1</translation>
        </message>
        <message>
            <source>%1 by %2</source>
            <extracomment>How many covers were found one way: "3 by barcode".</extracomment>
            <translation>%1 über %2</translation>
        </message>
        <message>
            <source>%1 (%2)</source>
            <extracomment>The saved covers' line, and the ways they were found.
----------
A search's failure, and the transport's own words for it.</extracomment>
            <translation>%1 (%2)</translation>
        </message>
        <message>
            <source>, </source>
            <translation>, </translation>
        </message>
        <message>
            <source>%1: %2</source>
            <extracomment>A summary's line: a kind of outcome and how many albums had it.</extracomment>
            <translation>%1: %2</translation>
        </message>
        <message>
            <source>(best: %1 – %2, %3%)</source>
            <translation>(bester: %1 – %2, %3 %)</translation>
        </message>
        <message numerus="yes">
            <source>%Ln album(s) remain; run the same command again later to go on.</source>
            <translation>
                <numerusform>%Ln Album bleibt; führen Sie denselben Befehl später erneut aus, um fortzufahren.</numerusform>
                <numerusform>%Ln Alben bleiben; führen Sie denselben Befehl später erneut aus, um fortzufahren.</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>%Ln or more albums remain; run the same command again later to go on.</source>
            <translation>
                <numerusform>%Ln oder mehr Alben bleiben; führen Sie denselben Befehl später erneut aus, um fortzufahren.</numerusform>
                <numerusform>%Ln oder mehr Alben bleiben; führen Sie denselben Befehl später erneut aus, um fortzufahren.</numerusform>
            </translation>
        </message>
        <message>
            <source>The catalogue keeps refusing for its rate limit. %1</source>
            <translation>Der Katalog lehnt wegen seiner Anfragegrenze weiter ab. %1</translation>
        </message>
        <message>
            <source>The catalogue could not be reached. %1</source>
            <translation>Der Katalog war nicht erreichbar. %1</translation>
        </message>
        <message>
            <source>Stopped. %1</source>
            <translation>Angehalten. %1</translation>
        </message>
        <message numerus="yes">
            <source>Waiting %Ln s: %1</source>
            <translation>
                <numerusform>%Ln s Wartezeit: %1</numerusform>
                <numerusform>%Ln s Wartezeit: %1</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Kept aside: %Ln replaced cover(s), %1 (sleevanta-cli restore puts them back)</source>
            <translation>
                <numerusform>Beiseitegelegt: %Ln ersetztes Cover, %1 (sleevanta-cli restore legt es zurück)</numerusform>
                <numerusform>Beiseitegelegt: %Ln ersetzte Cover, %1 (sleevanta-cli restore legt sie zurück)</numerusform>
            </translation>
        </message>
        <message>
            <source>no command given</source>
            <translation>kein Befehl angegeben</translation>
        </message>
        <message>
            <source>%1h%2m</source>
            <translation>%1 h %2 min</translation>
        </message>
        <message>
            <source>%1m%2s</source>
            <translation>%1 min %2 s</translation>
        </message>
        <message>
            <source>%1s</source>
            <translation>%1 s</translation>
        </message>
        <message numerus="yes">
            <source>Let go of %Ln kept cover(s).</source>
            <translation>
                <numerusform>%Ln aufbewahrtes Cover freigegeben.</numerusform>
                <numerusform>%Ln aufbewahrte Cover freigegeben.</numerusform>
            </translation>
        </message>
        <message>
            <source>Put back %1</source>
            <translation>%1 zurückgelegt</translation>
        </message>
        <message>
            <source>Left %1: %2</source>
            <translation>%1 gelassen: %2</translation>
        </message>
        <message>
            <source>No replaced covers are kept for %1.</source>
            <translation>Für %1 sind keine ersetzten Cover aufbewahrt.</translation>
        </message>
        <message>
            <source>sleevanta-cli: the cover was not saved: %1</source>
            <translation>sleevanta-cli: Das Cover wurde nicht gespeichert: %1</translation>
        </message>
        <message numerus="yes">
            <source>No item %1: the search found %Ln item(s).</source>
            <translation>
                <numerusform>Kein Eintrag %1: Die Suche fand %Ln Eintrag.</numerusform>
                <numerusform>Kein Eintrag %1: Die Suche fand %Ln Einträge.</numerusform>
            </translation>
        </message>
        <message>
            <source>the item has no cover</source>
            <translation>der Eintrag hat kein Cover</translation>
        </message>
        <message>
            <source>the cover could not be downloaded (%1)</source>
            <translation>das Cover konnte nicht heruntergeladen werden (%1)</translation>
        </message>
        <message>
            <source>No items found.</source>
            <translation>Keine Einträge gefunden.</translation>
        </message>
    </context>
    <context>
        <name>CoverActions</name>
        <message>
            <source>Save Cover &amp;As…</source>
            <translation>Cover speichern &amp;unter …</translation>
        </message>
        <message>
            <source>Save Cover to “&amp;Downloads”</source>
            <translation>Cover in „&amp;Downloads“ speichern</translation>
        </message>
        <message>
            <source>View Cover in &amp;Browser</source>
            <translation>Cover im &amp;Browser ansehen</translation>
        </message>
        <message>
            <source>View Cover &amp;Listing in iTunes</source>
            <translation>&amp;Eintrag des Covers in iTunes ansehen</translation>
        </message>
        <message>
            <source>Copy Cover &amp;Image to Clipboard</source>
            <translation>Cover-&amp;Bild in die Zwischenablage kopieren</translation>
        </message>
        <message>
            <source>Copy Cover &amp;URL to Clipboard</source>
            <translation>Cover-&amp;URL in die Zwischenablage kopieren</translation>
        </message>
        <message>
            <source>Copy Cover &amp;Title to Clipboard</source>
            <translation>Cover-&amp;Titel in die Zwischenablage kopieren</translation>
        </message>
        <message>
            <source>Sa&amp;ve into Album Folder</source>
            <translation>In den Album&amp;ordner speichern</translation>
        </message>
        <message>
            <source>&amp;Embed into Files</source>
            <translation>In Dateien ein&amp;betten</translation>
        </message>
    </context>
    <context>
        <name>CoverEmbedder</name>
        <message>
            <source>it is no file</source>
            <translation>sie ist keine Datei</translation>
        </message>
        <message numerus="yes">
            <source>it has %Ln links; embedding would split them — embed through one name after breaking the links, or leave it</source>
            <translation>
                <numerusform>sie hat %Ln Verknüpfung; Einbetten würde sie trennen — nach dem Auflösen der Verknüpfungen über einen Namen einbetten oder so lassen</numerusform>
                <numerusform>sie hat %Ln Verknüpfungen; Einbetten würde sie trennen — nach dem Auflösen der Verknüpfungen über einen Namen einbetten oder so lassen</numerusform>
            </translation>
        </message>
        <message>
            <source>it belongs to another user</source>
            <translation>sie gehört einem anderen Benutzer</translation>
        </message>
        <message>
            <source>it is read-only</source>
            <translation>sie ist schreibgeschützt</translation>
        </message>
        <message>
            <source>it is larger than any track</source>
            <translation>sie ist größer als jeder Titel</translation>
        </message>
        <message>
            <source>covers cannot be embedded in it</source>
            <translation>in sie können keine Cover eingebettet werden</translation>
        </message>
        <message>
            <source>covers are not embedded into %1 files</source>
            <translation>in %1-Dateien werden keine Cover eingebettet</translation>
        </message>
        <message>
            <source>it holds no %1 audio</source>
            <translation>sie enthält kein %1-Audio</translation>
        </message>
        <message>
            <source>its content is %1, not %2</source>
            <translation>ihr Inhalt ist %1, nicht %2</translation>
        </message>
        <message>
            <source>the copy's picture does not read back</source>
            <translation>das Bild der Kopie lässt sich nicht zurücklesen</translation>
        </message>
    </context>
    <context>
        <name>CoverFacts</name>
        <message>
            <source>%1 · original</source>
            <extracomment>Said of a cover that is the artwork's original upload, not a rendition.</extracomment>
            <translation>%1 · Original</translation>
        </message>
    </context>
    <context>
        <name>CoverFileName</name>
        <message>
            <source>Artist Name</source>
            <translation>Interpret</translation>
        </message>
        <message>
            <source>Collection Name</source>
            <translation>Sammlung</translation>
        </message>
        <message>
            <source>Year</source>
            <translation>Jahr</translation>
        </message>
        <message>
            <source>Media Kind</source>
            <translation>Medienart</translation>
        </message>
        <message>
            <source>Type a name for the cover files.</source>
            <translation>Geben Sie einen Namen für die Cover-Dateien ein.</translation>
        </message>
        <message>
            <source>A file name cannot contain “/”.</source>
            <translation>Ein Dateiname darf kein „/“ enthalten.</translation>
        </message>
        <message>
            <source>End the name with “.jpg”: covers are saved as JPEG files.</source>
            <translation>Beenden Sie den Namen mit „.jpg“: Cover werden als JPEG-Dateien gespeichert.</translation>
        </message>
        <message>
            <source>Type a name before “.%1”.</source>
            <translation>Geben Sie vor „.%1“ einen Namen ein.</translation>
        </message>
    </context>
    <context>
        <name>CoverFileWriter</name>
        <message>
            <source>the file name leads out of the folder</source>
            <translation>der Dateiname führt aus dem Ordner hinaus</translation>
        </message>
        <message>
            <source>the folder does not exist</source>
            <translation>der Ordner existiert nicht</translation>
        </message>
        <message>
            <source>the folder cannot be written</source>
            <translation>in den Ordner kann nicht geschrieben werden</translation>
        </message>
    </context>
    <context>
        <name>CoverItem</name>
        <message>
            <source>View Cover &amp;Listing in App Store</source>
            <translation>&amp;Eintrag des Covers im App Store ansehen</translation>
        </message>
        <message>
            <source>View Cover &amp;Listing in Books</source>
            <translation>&amp;Eintrag des Covers in Bücher ansehen</translation>
        </message>
        <message>
            <source>View Cover &amp;Listing in Music</source>
            <translation>&amp;Eintrag des Covers in Musik ansehen</translation>
        </message>
        <message>
            <source>View Cover &amp;Listing in Podcasts</source>
            <translation>&amp;Eintrag des Covers in Podcasts ansehen</translation>
        </message>
    </context>
    <context>
        <name>CoverPane</name>
        <message>
            <source>View Cover</source>
            <translation>Cover ansehen</translation>
        </message>
        <message>
            <source>Copy Cover</source>
            <translation>Cover kopieren</translation>
        </message>
        <message>
            <source>Share Cover</source>
            <translation>Cover teilen</translation>
        </message>
        <message>
            <source>Save Cover As…</source>
            <translation>Cover speichern unter …</translation>
        </message>
        <message>
            <source>Preview</source>
            <extracomment>A noun: a small picture shown while the cover itself is downloaded.
----------
The cover view while the cover is requested and no preview is there.</extracomment>
            <translation>Vorschau</translation>
        </message>
        <message>
            <source>Select a result to see its cover</source>
            <translation>Wählen Sie ein Ergebnis, um sein Cover zu sehen</translation>
        </message>
        <message>
            <source>Couldn't download the cover (%1).</source>
            <translation>Das Cover konnte nicht heruntergeladen werden (%1).</translation>
        </message>
        <message>
            <source>%1 × %2</source>
            <extracomment>A picture's size in pixels: "600 × 600".</extracomment>
            <translation>%1 × %2</translation>
        </message>
        <message>
            <source>Cover of %1, %2</source>
            <extracomment>The name of the shown cover for screen readers: its item's title and its size.</extracomment>
            <translation>Cover von %1, %2</translation>
        </message>
        <message>
            <source>Loading</source>
            <translation>Wird geladen</translation>
        </message>
        <message>
            <source>No cover</source>
            <translation>Kein Cover</translation>
        </message>
        <message>
            <source>S&amp;hare</source>
            <translation>&amp;Teilen</translation>
        </message>
        <message>
            <source>Copied Cover Image to Clipboard.</source>
            <translation>Cover-Bild in die Zwischenablage kopiert.</translation>
        </message>
        <message>
            <source>Copied Cover URL to Clipboard.</source>
            <translation>Cover-URL in die Zwischenablage kopiert.</translation>
        </message>
        <message>
            <source>Copied Cover Title to Clipboard.</source>
            <translation>Cover-Titel in die Zwischenablage kopiert.</translation>
        </message>
        <message>
            <source>Couldn't open the link</source>
            <translation>Der Link konnte nicht geöffnet werden</translation>
        </message>
        <message>
            <source>There is no cover to work with yet: select a result first.</source>
            <translation>Es gibt noch kein Cover zum Bearbeiten: Wählen Sie zuerst ein Ergebnis.</translation>
        </message>
    </context>
    <context>
        <name>CoverSession</name>
        <message>
            <source>Saved “%1” to %2.</source>
            <translation>„%1“ in %2 gespeichert.</translation>
        </message>
        <message>
            <source>Couldn't save “%1” in %2: %3.</source>
            <translation>„%1“ konnte nicht in %2 gespeichert werden: %3.</translation>
        </message>
        <message>
            <source>the item has no cover</source>
            <translation>der Eintrag hat kein Cover</translation>
        </message>
        <message>
            <source>the download was cancelled</source>
            <translation>der Download wurde abgebrochen</translation>
        </message>
        <message>
            <source>no cover is shown</source>
            <translation>es wird kein Cover gezeigt</translation>
        </message>
        <message>
            <source>the cover could not be encoded as JPEG</source>
            <translation>das Cover konnte nicht als JPEG kodiert werden</translation>
        </message>
        <message>
            <source>Downloading Cover
%1 of %2 MB · %3 %</source>
            <translation>Cover wird heruntergeladen
%1 von %2 MB · %3 %</translation>
        </message>
        <message>
            <source>Downloading Cover
%1 MB</source>
            <translation>Cover wird heruntergeladen
%1 MB</translation>
        </message>
        <message>
            <source>Requesting Cover…</source>
            <translation>Cover wird angefordert …</translation>
        </message>
    </context>
    <context>
        <name>CoverUpgrade</name>
        <message>
            <source>%1 has several hard links; it was left as it is</source>
            <translation>%1 hat mehrere harte Verknüpfungen; es blieb, wie es ist</translation>
        </message>
        <message>
            <source>%1 cannot be read; it was left as it is</source>
            <translation>%1 kann nicht gelesen werden; es blieb, wie es ist</translation>
        </message>
        <message>
            <source>the cover it has is as large as the catalogue's or larger</source>
            <translation>das vorhandene Cover ist so groß wie das des Katalogs oder größer</translation>
        </message>
        <message>
            <source>a different picture; use choose</source>
            <translation>ein anderes Bild; choose verwenden</translation>
        </message>
        <message>
            <source>size unknown</source>
            <translation>Größe unbekannt</translation>
        </message>
        <message>
            <source>a cover chosen by hand</source>
            <translation>ein von Hand gewähltes Cover</translation>
        </message>
        <message>
            <source>its covers could not be kept aside, so none was replaced: %1</source>
            <translation>seine Cover konnten nicht beiseitegelegt werden, daher wurde keines ersetzt: %1</translation>
        </message>
        <message>
            <source>%1 could not be written: %2</source>
            <translation>%1 konnte nicht geschrieben werden: %2</translation>
        </message>
        <message>
            <source>the embedded covers could not be kept aside, so none was replaced: %1</source>
            <translation>die eingebetteten Cover konnten nicht beiseitegelegt werden, daher wurde keines ersetzt: %1</translation>
        </message>
    </context>
    <context>
        <name>CoverView</name>
        <message>
            <source>Try Again</source>
            <translation>Erneut versuchen</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>Abbrechen</translation>
        </message>
        <message>
            <source>Stop downloading this cover</source>
            <translation>Das Herunterladen dieses Covers abbrechen</translation>
        </message>
        <message>
            <source>Open the cover, or the item's listing, in its application</source>
            <translation>Das Cover oder den Eintrag in seiner Anwendung öffnen</translation>
        </message>
        <message>
            <source>Copy the cover image, its address or its title</source>
            <translation>Das Cover-Bild, seine Adresse oder seinen Titel kopieren</translation>
        </message>
        <message>
            <source>Open the cover in another application</source>
            <translation>Das Cover in einer anderen Anwendung öffnen</translation>
        </message>
        <message>
            <source>Save the cover as a JPEG file (Ctrl+S)</source>
            <translation>Das Cover als JPEG-Datei speichern (Strg+S)</translation>
        </message>
    </context>
    <context>
        <name>Donate</name>
        <message>
            <source>Donate</source>
            <translation>Spenden</translation>
        </message>
        <message>
            <source>Donate with &amp;PayPal</source>
            <translation>Mit &amp;PayPal spenden</translation>
        </message>
    </context>
    <context>
        <name>DonateDialog</name>
        <message>
            <source>Sleevanta is &lt;b&gt;free of ads&lt;/b&gt; and &lt;b&gt;free of charge&lt;/b&gt;. However, to cover the costs for &lt;i&gt;hosting&lt;/i&gt;, &lt;i&gt;maintenance&lt;/i&gt;, and &lt;i&gt;coffee&lt;/i&gt;, we'd deeply appreciate you helping us with a small donation.</source>
            <translation>Sleevanta ist &lt;b&gt;werbefrei&lt;/b&gt; und &lt;b&gt;kostenlos&lt;/b&gt;. Um die Kosten für &lt;i&gt;Hosting&lt;/i&gt;, &lt;i&gt;Wartung&lt;/i&gt; und &lt;i&gt;Kaffee&lt;/i&gt; zu decken, würden wir uns sehr über eine kleine Spende freuen.</translation>
        </message>
        <message>
            <source>Copied %1 to Clipboard.</source>
            <translation>%1 in die Zwischenablage kopiert.</translation>
        </message>
        <message>
            <source>Donate with &amp;PayPal</source>
            <translation>Mit &amp;PayPal spenden</translation>
        </message>
        <message>
            <source>Couldn't open the link</source>
            <translation>Der Link konnte nicht geöffnet werden</translation>
        </message>
    </context>
    <context>
        <name>FillAnswers</name>
        <message>
            <source>The catalogue answers no lists of barcodes here: they are asked one at a time.</source>
            <translation>Der Katalog beantwortet hier keine Listen von Barcodes: Sie werden einzeln erfragt.</translation>
        </message>
        <message>
            <source>the %1 names another album: %2</source>
            <translation>der %1 nennt ein anderes Album: %2</translation>
        </message>
    </context>
    <context>
        <name>FillJournal</name>
        <message>
            <source>the journal %1 cannot be read (%2); every album is asked about</source>
            <translation>das Journal %1 kann nicht gelesen werden (%2); jedes Album wird erfragt</translation>
        </message>
        <message>
            <source>the journal %1 is damaged or another library's; every album is asked about</source>
            <translation>das Journal %1 ist beschädigt oder gehört zu einer anderen Bibliothek; jedes Album wird erfragt</translation>
        </message>
    </context>
    <context>
        <name>FillOptionsBar</name>
        <message>
            <source>Cover file name</source>
            <translation>Name der Cover-Datei</translation>
        </message>
        <message>
            <source>The name of the cover file saved into each album folder</source>
            <translation>Der Name der Cover-Datei, die in jeden Albumordner gespeichert wird</translation>
        </message>
        <message>
            <source>Also embed the cover into the audio files</source>
            <translation>Das Cover auch in die Audiodateien einbetten</translation>
        </message>
        <message>
            <source>Upgrade covers smaller than</source>
            <translation>Cover verbessern, die kleiner sind als</translation>
        </message>
        <message>
            <source>Replace small covers by larger ones of the same picture; what is replaced is kept aside and can be restored</source>
            <translation>Kleine Cover durch größere desselben Bildes ersetzen; Ersetztes wird beiseitegelegt und kann wiederhergestellt werden</translation>
        </message>
        <message>
            <source> px</source>
            <translation> px</translation>
        </message>
        <message>
            <source>Smallest side of a cover that is kept</source>
            <translation>Kleinste Seite eines Covers, das behalten wird</translation>
        </message>
        <message>
            <source>e.g. GB, JP</source>
            <translation>z. B. GB, JP</translation>
        </message>
        <message>
            <source>Storefronts to ask next</source>
            <translation>Als Nächstes gefragte Stores</translation>
        </message>
        <message>
            <source>Storefront codes asked in turn about the albums the main storefront does not sell</source>
            <translation>Store-Kürzel, die nacheinander nach den Alben gefragt werden, die der Haupt-Store nicht verkauft</translation>
        </message>
        <message>
            <source>Cover file name:</source>
            <translation>Name der Cover-Datei:</translation>
        </message>
        <message>
            <source>Then ask in:</source>
            <translation>Dann fragen in:</translation>
        </message>
        <message>
            <source>“%1” is no storefront code.</source>
            <translation>„%1“ ist kein Store-Kürzel.</translation>
        </message>
        <message>
            <source>The storefront %1 is named twice.</source>
            <translation>Der Store %1 ist doppelt genannt.</translation>
        </message>
    </context>
    <context>
        <name>FillPacer</name>
        <message>
            <source>the catalogue asks us to slow down</source>
            <translation>der Katalog bittet uns, langsamer zu werden</translation>
        </message>
    </context>
    <context>
        <name>FillPlanner</name>
        <message numerus="yes">
            <source>Looking up %Ln album id(s)</source>
            <translation>
                <numerusform>%Ln Album-ID wird nachgeschlagen</numerusform>
                <numerusform>%Ln Album-IDs werden nachgeschlagen</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Looking up %Ln barcode(s)</source>
            <translation>
                <numerusform>%Ln Barcode wird nachgeschlagen</numerusform>
                <numerusform>%Ln Barcodes werden nachgeschlagen</numerusform>
            </translation>
        </message>
        <message>
            <source>Listing the albums of %1</source>
            <translation>Die Alben von %1 werden aufgelistet</translation>
        </message>
        <message>
            <source>Searching “%1”</source>
            <translation>Suche nach „%1“</translation>
        </message>
    </context>
    <context>
        <name>FillReportModel</name>
        <message>
            <source>%1 → %2</source>
            <extracomment>A cover's size before and after a fill: "300 × 300 → 600 × 600".</extracomment>
            <translation>%1 → %2</translation>
        </message>
        <message>
            <source>Cover</source>
            <extracomment>Column title: the album's cover picture (a noun).</extracomment>
            <translation>Cover</translation>
        </message>
        <message>
            <source>Folder</source>
            <translation>Ordner</translation>
        </message>
        <message>
            <source>Artist</source>
            <translation>Interpret</translation>
        </message>
        <message>
            <source>Album</source>
            <translation>Album</translation>
        </message>
        <message>
            <source>Status</source>
            <translation>Status</translation>
        </message>
        <message>
            <source>Waiting…</source>
            <translation>Wartet …</translation>
        </message>
        <message>
            <source>Found by</source>
            <translation>Gefunden über</translation>
        </message>
        <message>
            <source>Storefront</source>
            <extracomment>Column title: the storefront a cover came from.</extracomment>
            <translation>Store</translation>
        </message>
        <message>
            <source>Size</source>
            <extracomment>Column title: the size of the cover an album had, and of the one it got.</extracomment>
            <translation>Größe</translation>
        </message>
        <message>
            <source>%1 saved, %2 already had a cover, %3 without a confident match, %4 failed</source>
            <translation>%1 gespeichert, %2 hatten schon ein Cover, %3 ohne sicheren Treffer, %4 fehlgeschlagen</translation>
        </message>
        <message>
            <source>Done: %1.</source>
            <translation>Fertig: %1.</translation>
        </message>
        <message numerus="yes">
            <source>Stopped with %Ln album(s) left: %1.</source>
            <translation>
                <numerusform>Angehalten, %Ln Album übrig: %1.</numerusform>
                <numerusform>Angehalten, %Ln Alben übrig: %1.</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>The iTunes Store asks for a break; %Ln album(s) left. Continue later.</source>
            <translation>
                <numerusform>Der iTunes Store bittet um eine Pause; %Ln Album übrig. Später fortsetzen.</numerusform>
                <numerusform>Der iTunes Store bittet um eine Pause; %Ln Alben übrig. Später fortsetzen.</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>The iTunes Store could not be reached; %Ln album(s) left.</source>
            <translation>
                <numerusform>Der iTunes Store war nicht erreichbar; %Ln Album übrig.</numerusform>
                <numerusform>Der iTunes Store war nicht erreichbar; %Ln Alben übrig.</numerusform>
            </translation>
        </message>
    </context>
    <context>
        <name>FillRun</name>
        <message>
            <source>tags took too long to read: %1</source>
            <translation>das Lesen der Tags dauerte zu lange: %1</translation>
        </message>
        <message>
            <source>The journal %1 could not be written.</source>
            <translation>Das Journal %1 konnte nicht geschrieben werden.</translation>
        </message>
        <message>
            <source>the catalogue did not answer in time (%1)</source>
            <translation>der Katalog antwortete nicht rechtzeitig (%1)</translation>
        </message>
        <message>
            <source>the catalogue's answer could not be read</source>
            <translation>die Antwort des Katalogs konnte nicht gelesen werden</translation>
        </message>
        <message>
            <source>not found in the storefront %1</source>
            <translation>im Store %1 nicht gefunden</translation>
        </message>
        <message>
            <source>neither tags nor folder names say which album it is</source>
            <translation>weder Tags noch Ordnernamen sagen, welches Album es ist</translation>
        </message>
        <message>
            <source>no confident match on %1; --retry asks again</source>
            <translation>kein sicherer Treffer in %1; --retry fragt erneut</translation>
        </message>
    </context>
    <context>
        <name>FillSaver</name>
        <message>
            <source>stopped before the cover went into every file</source>
            <translation>angehalten, bevor das Cover in jeder Datei war</translation>
        </message>
        <message>
            <source>the cover could not be encoded</source>
            <translation>das Cover konnte nicht kodiert werden</translation>
        </message>
        <message>
            <source>stopped</source>
            <translation>angehalten</translation>
        </message>
    </context>
    <context>
        <name>FillTable</name>
        <message>
            <source>Albums</source>
            <translation>Alben</translation>
        </message>
    </context>
    <context>
        <name>FillWindow</name>
        <message>
            <source>%1 min</source>
            <translation>%1 min</translation>
        </message>
        <message>
            <source>%1 s</source>
            <translation>%1 s</translation>
        </message>
        <message>
            <source>Fill Covers in Folder — %1</source>
            <translation>Cover in Ordner ergänzen — %1</translation>
        </message>
        <message>
            <source>Restore Replaced Covers</source>
            <translation>Ersetzte Cover wiederherstellen</translation>
        </message>
        <message>
            <source>Put back the covers that upgrades and choices replaced in this library</source>
            <translation>Die Cover zurücklegen, die Verbesserungen und Auswahlen in dieser Bibliothek ersetzt haben</translation>
        </message>
        <message>
            <source>Progress of the fill</source>
            <translation>Fortschritt des Ergänzens</translation>
        </message>
        <message>
            <source>Start</source>
            <extracomment>A button: start looking for the albums' covers (a verb).</extracomment>
            <translation>Starten</translation>
        </message>
        <message>
            <source>Search by Hand</source>
            <translation>Von Hand suchen</translation>
        </message>
        <message>
            <source>Search the iTunes Store for the selected album yourself</source>
            <translation>Das gewählte Album selbst im iTunes Store suchen</translation>
        </message>
        <message>
            <source>Stop Reading</source>
            <translation>Lesen beenden</translation>
        </message>
        <message>
            <source>List only the albums read so far</source>
            <translation>Nur die bisher gelesenen Alben auflisten</translation>
        </message>
        <message>
            <source>%1 · Storefront: %2 · %3</source>
            <translation>%1 · Store: %2 · %3</translation>
        </message>
        <message>
            <source>High Quality</source>
            <translation>Hohe Qualität</translation>
        </message>
        <message>
            <source>Standard Quality</source>
            <translation>Standardqualität</translation>
        </message>
        <message>
            <source>Saving the chosen cover of %1…</source>
            <translation>Das gewählte Cover von %1 wird gespeichert …</translation>
        </message>
        <message>
            <source>Putting back the replaced covers…</source>
            <translation>Die ersetzten Cover werden zurückgelegt …</translation>
        </message>
        <message>
            <source>No replaced covers are kept for this library.</source>
            <translation>Für diese Bibliothek sind keine ersetzten Cover aufbewahrt.</translation>
        </message>
        <message numerus="yes">
            <source>%Ln cover(s) put back; %1 left as they are (changed since, or moved).</source>
            <translation>
                <numerusform>%Ln Cover zurückgelegt; %1 blieben, wie sie sind (seither geändert oder verschoben).</numerusform>
                <numerusform>%Ln Cover zurückgelegt; %1 blieben, wie sie sind (seither geändert oder verschoben).</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Reading the albums: %Ln found…</source>
            <translation>
                <numerusform>Alben werden gelesen: %Ln gefunden …</numerusform>
                <numerusform>Alben werden gelesen: %Ln gefunden …</numerusform>
            </translation>
        </message>
        <message>
            <source>Stop</source>
            <extracomment>A button: stop what runs (a verb).</extracomment>
            <translation>Anhalten</translation>
        </message>
        <message>
            <source>Reading the albums…</source>
            <translation>Alben werden gelesen …</translation>
        </message>
        <message>
            <source>Start Again</source>
            <extracomment>A button: look for the covers once more, from the first album (a verb).</extracomment>
            <translation>Neu beginnen</translation>
        </message>
        <message>
            <source>Continue</source>
            <translation>Fortsetzen</translation>
        </message>
        <message numerus="yes">
            <source>%Ln album(s) found. Start looks for the covers they lack.</source>
            <translation>
                <numerusform>%Ln Album gefunden. „Starten“ sucht die fehlenden Cover.</numerusform>
                <numerusform>%Ln Alben gefunden. „Starten“ sucht die fehlenden Cover.</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Reading stopped with %Ln album(s) listed. Start reads them all first.</source>
            <translation>
                <numerusform>Lesen angehalten mit %Ln aufgelisteten Album. „Starten“ liest zuerst alle.</numerusform>
                <numerusform>Lesen angehalten mit %Ln aufgelisteten Alben. „Starten“ liest zuerst alle.</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Waiting %Ln s: %1</source>
            <translation>
                <numerusform>%Ln s Wartezeit: %1</numerusform>
                <numerusform>%Ln s Wartezeit: %1</numerusform>
            </translation>
        </message>
        <message>
            <source>Looking for covers…</source>
            <translation>Cover werden gesucht …</translation>
        </message>
        <message>
            <source>%1 · about %2 left</source>
            <translation>%1 · noch etwa %2</translation>
        </message>
        <message>
            <source>Stop Filling Covers?</source>
            <translation>Ergänzen der Cover anhalten?</translation>
        </message>
        <message>
            <source>The run is not done yet. What it did is kept; Continue takes it up again.</source>
            <translation>Der Lauf ist noch nicht fertig. Was er getan hat, bleibt; „Fortsetzen“ nimmt ihn wieder auf.</translation>
        </message>
    </context>
    <context>
        <name>FoundVia</name>
        <message>
            <source>store id</source>
            <translation>Store-ID</translation>
        </message>
        <message>
            <source>barcode</source>
            <translation>Barcode</translation>
        </message>
        <message>
            <source>artist listing</source>
            <translation>Interpretenliste</translation>
        </message>
        <message>
            <source>search</source>
            <translation>Suche</translation>
        </message>
        <message>
            <source>by hand</source>
            <translation>von Hand</translation>
        </message>
    </context>
    <context>
        <name>ImageService</name>
        <message>
            <source>%1 × %2 pixels</source>
            <translation>%1 × %2 Pixel</translation>
        </message>
        <message>
            <source>the download was cancelled</source>
            <translation>der Download wurde abgebrochen</translation>
        </message>
        <message>
            <source>the cover has no address</source>
            <translation>das Cover hat keine Adresse</translation>
        </message>
        <message>
            <source>no connection</source>
            <translation>keine Verbindung</translation>
        </message>
        <message>
            <source>the transfer stalled</source>
            <translation>die Übertragung stockte</translation>
        </message>
        <message>
            <source>the server answered %1</source>
            <translation>der Server antwortete %1</translation>
        </message>
        <message>
            <source>the data is not an image</source>
            <translation>die Daten sind kein Bild</translation>
        </message>
        <message>
            <source>the cover is too large</source>
            <translation>das Cover ist zu groß</translation>
        </message>
        <message>
            <source>the picture declares %1, more than any cover has</source>
            <translation>das Bild gibt %1 an, mehr als jedes Cover hat</translation>
        </message>
        <message>
            <source>the picture is cut short</source>
            <translation>das Bild ist abgeschnitten</translation>
        </message>
        <message>
            <source>artwork not from the catalogue</source>
            <translation>Bild nicht aus dem Katalog</translation>
        </message>
    </context>
    <context>
        <name>ListOverlay</name>
        <message>
            <source>Try Again</source>
            <translation>Erneut versuchen</translation>
        </message>
        <message>
            <source>Searching…</source>
            <translation>Suche läuft …</translation>
        </message>
    </context>
    <context>
        <name>MainWindow</name>
        <message>
            <source>Sleevanta</source>
            <translation>Sleevanta</translation>
        </message>
        <message>
            <source>&amp;File</source>
            <translation>&amp;Datei</translation>
        </message>
        <message>
            <source>S&amp;hare</source>
            <translation>&amp;Teilen</translation>
        </message>
        <message>
            <source>&amp;Edit</source>
            <translation>&amp;Bearbeiten</translation>
        </message>
        <message>
            <source>&amp;View</source>
            <translation>&amp;Ansicht</translation>
        </message>
        <message>
            <source>&amp;Window</source>
            <translation>&amp;Fenster</translation>
        </message>
        <message>
            <source>&amp;Help</source>
            <translation>&amp;Hilfe</translation>
        </message>
        <message>
            <source>&amp;Fill Covers in Folder…</source>
            <translation>Cover in &amp;Ordner ergänzen …</translation>
        </message>
        <message>
            <source>Save a cover into every album folder of a music library that has none</source>
            <translation>Ein Cover in jeden Albumordner einer Musikbibliothek speichern, der keines hat</translation>
        </message>
        <message>
            <source>&amp;Quit</source>
            <translation>&amp;Beenden</translation>
        </message>
        <message>
            <source>Ctrl+Q</source>
            <translation>Ctrl+Q</translation>
        </message>
        <message>
            <source>&amp;Preferences…</source>
            <translation>&amp;Einstellungen …</translation>
        </message>
        <message>
            <source>Ctrl+,</source>
            <translation>Ctrl+,</translation>
        </message>
        <message>
            <source>C&amp;lear Cache</source>
            <translation>Zwischenspeicher &amp;leeren</translation>
        </message>
        <message>
            <source>&amp;Restore Default Size</source>
            <translation>&amp;Standardgröße wiederherstellen</translation>
        </message>
        <message>
            <source>Send &amp;Suggestion…</source>
            <translation>&amp;Vorschlag senden …</translation>
        </message>
        <message>
            <source>&amp;Report a Bug…</source>
            <translation>&amp;Fehler melden …</translation>
        </message>
        <message>
            <source>&amp;Donate…</source>
            <translation>&amp;Spenden …</translation>
        </message>
        <message>
            <source>&amp;About Sleevanta</source>
            <translation>Ü&amp;ber Sleevanta</translation>
        </message>
        <message>
            <source>0 Images: 0 bytes</source>
            <translation>0 Bilder: 0 Bytes</translation>
        </message>
    </context>
    <context>
        <name>MediaTables</name>
        <message>
            <source>Audiobooks</source>
            <translation>Hörbücher</translation>
        </message>
        <message>
            <source>eBooks</source>
            <translation>E-Books</translation>
        </message>
        <message>
            <source>Movies</source>
            <translation>Filme</translation>
        </message>
        <message>
            <source>Music</source>
            <translation>Musik</translation>
        </message>
        <message>
            <source>Music Videos</source>
            <translation>Musikvideos</translation>
        </message>
        <message>
            <source>Podcasts</source>
            <translation>Podcasts</translation>
        </message>
        <message>
            <source>Short Films</source>
            <translation>Kurzfilme</translation>
        </message>
        <message>
            <source>Software</source>
            <translation>Software</translation>
        </message>
        <message>
            <source>TV Shows</source>
            <translation>TV-Sendungen</translation>
        </message>
    </context>
    <context>
        <name>MusicOpening</name>
        <message>
            <source>%1: it does not exist</source>
            <translation>%1: sie existiert nicht</translation>
        </message>
        <message>
            <source>%1: it is not audio</source>
            <translation>%1: sie ist kein Audio</translation>
        </message>
        <message>
            <source>%1: it holds no audio</source>
            <translation>%1: sie enthält kein Audio</translation>
        </message>
        <message>
            <source>Pictures are not searched: drop audio files or album folders to find their cover.</source>
            <translation>Bilder werden nicht gesucht: Ziehen Sie Audiodateien oder Albumordner herein, um ihr Cover zu finden.</translation>
        </message>
        <message>
            <source>No music to search: %1.</source>
            <translation>Keine Musik zu suchen: %1.</translation>
        </message>
        <message>
            <source>No music to search.</source>
            <translation>Keine Musik zu suchen.</translation>
        </message>
    </context>
    <context>
        <name>NetworkAccess</name>
        <message>
            <source>the server redirected in a loop</source>
            <translation>der Server leitete im Kreis um</translation>
        </message>
        <message>
            <source>the server redirected to %1, which is not allowed</source>
            <translation>der Server leitete zu %1 um, was nicht erlaubt ist</translation>
        </message>
        <message numerus="yes">
            <source>no answer within %Ln seconds</source>
            <translation>
                <numerusform>keine Antwort innerhalb von %Ln Sekunde</numerusform>
                <numerusform>keine Antwort innerhalb von %Ln Sekunden</numerusform>
            </translation>
        </message>
        <message>
            <source>the server redirected to an insecure address</source>
            <translation>der Server leitete zu einer unsicheren Adresse um</translation>
        </message>
        <message numerus="yes">
            <source>no data for %Ln seconds</source>
            <translation>
                <numerusform>keine Daten seit %Ln Sekunde</numerusform>
                <numerusform>keine Daten seit %Ln Sekunden</numerusform>
            </translation>
        </message>
        <message>
            <source>the answer ended before it began</source>
            <translation>die Antwort endete, bevor sie begann</translation>
        </message>
    </context>
    <context>
        <name>Preferences</name>
        <message>
            <source>Preferences</source>
            <translation>Einstellungen</translation>
        </message>
    </context>
    <context>
        <name>PreferencesDialog</name>
        <message>
            <source>%1 The name stays “%2”.</source>
            <translation>%1 Der Name bleibt „%2“.</translation>
        </message>
        <message>
            <source>Default Name Format</source>
            <translation>Standard-Namensformat</translation>
        </message>
        <message>
            <source>For:</source>
            <translation>Für:</translation>
        </message>
        <message>
            <source>Same as Music</source>
            <translation>Wie Musik</translation>
        </message>
        <message>
            <source>Insert</source>
            <translation>Einfügen</translation>
        </message>
        <message>
            <source>Insert a name from the cover's item</source>
            <translation>Einen Namen aus dem Eintrag des Covers einfügen</translation>
        </message>
        <message>
            <source>Name Format Options</source>
            <translation>Optionen des Namensformats</translation>
        </message>
        <message>
            <source>Replace spaces with underscores</source>
            <translation>Leerzeichen durch Unterstriche ersetzen</translation>
        </message>
        <message>
            <source>Replace / \ : * ? " &lt; &gt; | with underscores</source>
            <translation>/ \ : * ? " &lt; &gt; | durch Unterstriche ersetzen</translation>
        </message>
        <message>
            <source>Make filenames lowercase</source>
            <translation>Dateinamen kleinschreiben</translation>
        </message>
        <message>
            <source>Name Format Example</source>
            <translation>Beispiel des Namensformats</translation>
        </message>
        <message>
            <source>Other Options</source>
            <translation>Weitere Optionen</translation>
        </message>
        <message>
            <source>Clear cache on exit</source>
            <translation>Zwischenspeicher beim Beenden leeren</translation>
        </message>
        <message>
            <source>Fill Covers in Folder, then ask in:</source>
            <translation>Cover in Ordner ergänzen, dann fragen in:</translation>
        </message>
        <message>
            <source>e.g. GB, JP</source>
            <translation>z. B. GB, JP</translation>
        </message>
        <message>
            <source>Storefront codes asked in turn about the albums the main storefront does not sell</source>
            <translation>Store-Kürzel, die nacheinander nach den Alben gefragt werden, die der Haupt-Store nicht verkauft</translation>
        </message>
        <message>
            <source>Name format for %1</source>
            <translation>Namensformat für %1</translation>
        </message>
        <message>
            <source>Name format of</source>
            <extracomment>The picker of the media kind whose name format is shown.</extracomment>
            <translation>Namensformat von</translation>
        </message>
    </context>
    <context>
        <name>ReplacedCovers</name>
        <message>
            <source>the list of kept covers %1 cannot be read (%2)</source>
            <translation>die Liste der aufbewahrten Cover %1 kann nicht gelesen werden (%2)</translation>
        </message>
        <message>
            <source>the list of kept covers %1 is damaged</source>
            <translation>die Liste der aufbewahrten Cover %1 ist beschädigt</translation>
        </message>
        <message>
            <source>the list of kept covers %1 cannot be written (%2)</source>
            <translation>die Liste der aufbewahrten Cover %1 kann nicht geschrieben werden (%2)</translation>
        </message>
        <message>
            <source>the folder %1 for kept covers cannot be made</source>
            <translation>der Ordner %1 für aufbewahrte Cover kann nicht angelegt werden</translation>
        </message>
        <message>
            <source>%1 cannot be kept aside in %2 (%3)</source>
            <translation>%1 kann nicht in %2 beiseitegelegt werden (%3)</translation>
        </message>
        <message>
            <source>the folder is no longer there (moved or renamed?); nothing was written</source>
            <translation>der Ordner ist nicht mehr da (verschoben oder umbenannt?); nichts wurde geschrieben</translation>
        </message>
        <message>
            <source>%1 changed since it was written; it was left as it is</source>
            <translation>%1 hat sich geändert, seit es geschrieben wurde; es blieb, wie es ist</translation>
        </message>
        <message>
            <source>its kept copy is missing or damaged</source>
            <translation>seine aufbewahrte Kopie fehlt oder ist beschädigt</translation>
        </message>
        <message>
            <source>its cover changed since it was embedded; it was left as it is</source>
            <translation>sein Cover hat sich geändert, seit es eingebettet wurde; es blieb, wie es ist</translation>
        </message>
        <message>
            <source>the kept covers cannot be read</source>
            <translation>die aufbewahrten Cover können nicht gelesen werden</translation>
        </message>
    </context>
    <context>
        <name>ResultListModel</name>
        <message>
            <source>Items found</source>
            <extracomment>The title of the results list's one column: the items a search found.</extracomment>
            <translation>Gefundene Einträge</translation>
        </message>
    </context>
    <context>
        <name>SaveDialog</name>
        <message>
            <source>Save Cover As…</source>
            <translation>Cover speichern unter …</translation>
        </message>
        <message>
            <source>JPEG image (*.jpg *.jpeg)</source>
            <translation>JPEG-Bild (*.jpg *.jpeg)</translation>
        </message>
    </context>
    <context>
        <name>SearchMessages</name>
        <message>
            <source>The search could not be put to the iTunes Store: its address could not be made.</source>
            <translation>Die Suche konnte nicht an den iTunes Store gestellt werden: Ihre Adresse ließ sich nicht bilden.</translation>
        </message>
        <message>
            <source>The iTunes Store could not read this search: some special characters are not supported. Remove or replace them.</source>
            <translation>Der iTunes Store konnte diese Suche nicht lesen: Einige Sonderzeichen werden nicht unterstützt. Entfernen oder ersetzen Sie sie.</translation>
        </message>
        <message>
            <source>The iTunes Store answered with something that is not a search result (a web page, perhaps from a network that wants a login first). Try again later.</source>
            <translation>Der iTunes Store antwortete mit etwas, das kein Suchergebnis ist (einer Webseite, vielleicht von einem Netzwerk, das zuerst eine Anmeldung will). Versuchen Sie es später erneut.</translation>
        </message>
        <message>
            <source>Sleevanta could not reach the iTunes Store. Check the internet connection and try again.</source>
            <translation>Sleevanta konnte den iTunes Store nicht erreichen. Prüfen Sie die Internetverbindung und versuchen Sie es erneut.</translation>
        </message>
        <message>
            <source>The iTunes Store is receiving too many searches from this computer. Wait a minute and try again.</source>
            <translation>Der iTunes Store erhält zu viele Suchen von diesem Computer. Warten Sie eine Minute und versuchen Sie es erneut.</translation>
        </message>
        <message>
            <source>The iTunes Store is not answering right now. Try again in a few minutes.</source>
            <translation>Der iTunes Store antwortet gerade nicht. Versuchen Sie es in einigen Minuten erneut.</translation>
        </message>
    </context>
    <context>
        <name>SearchPane</name>
        <message>
            <source>Search</source>
            <extracomment>The name of the search field (a noun: the search term is typed into it).</extracomment>
            <translation>Suche</translation>
        </message>
        <message>
            <source>Media</source>
            <translation>Medien</translation>
        </message>
        <message>
            <source>Quality</source>
            <translation>Qualität</translation>
        </message>
        <message>
            <source>Country</source>
            <translation>Land</translation>
        </message>
        <message>
            <source>Results</source>
            <translation>Ergebnisse</translation>
        </message>
        <message>
            <source>Clear the search term</source>
            <translation>Suchbegriff löschen</translation>
        </message>
        <message>
            <source>Standard Quality</source>
            <translation>Standardqualität</translation>
        </message>
        <message>
            <source>High Quality</source>
            <translation>Hohe Qualität</translation>
        </message>
        <message numerus="yes">
            <source>%Ln result(s)</source>
            <translation>
                <numerusform>%Ln Ergebnis</numerusform>
                <numerusform>%Ln Ergebnisse</numerusform>
            </translation>
        </message>
        <message>
            <source>No results for “%1” in %2, %3.
Try another storefront, or change the search term.</source>
            <translation>Keine Ergebnisse für „%1“ in %2, %3.
Versuchen Sie einen anderen Store oder ändern Sie den Suchbegriff.</translation>
        </message>
        <message>
            <source>The selected item has no cover to show.</source>
            <translation>Der gewählte Eintrag hat kein Cover zum Zeigen.</translation>
        </message>
    </context>
    <context>
        <name>SearchView</name>
        <message>
            <source>Search</source>
            <translation>Suchen</translation>
        </message>
        <message>
            <source>A search term, a store link or a catalogue id (Ctrl+F)</source>
            <translation>Ein Suchbegriff, ein Store-Link oder eine Katalog-ID (Strg+F)</translation>
        </message>
        <message>
            <source>The kind of item to search for</source>
            <translation>Die Art des gesuchten Eintrags</translation>
        </message>
        <message>
            <source>Standard: 600 × 600 pixels. High: the largest cover there is</source>
            <translation>Standard: 600 × 600 Pixel. Hoch: das größte Cover, das es gibt</translation>
        </message>
        <message>
            <source>The store country to search in</source>
            <translation>Das Store-Land, in dem gesucht wird</translation>
        </message>
    </context>
    <context>
        <name>SettingsStore</name>
        <message>
            <source>cannot read the settings file %1 (%2); using defaults</source>
            <translation>die Einstellungsdatei %1 kann nicht gelesen werden (%2); Standardwerte werden verwendet</translation>
        </message>
        <message>
            <source>the settings file %1 was damaged; moved it to %2 and using defaults</source>
            <translation>die Einstellungsdatei %1 war beschädigt; sie wurde nach %2 verschoben, Standardwerte werden verwendet</translation>
        </message>
        <message>
            <source>the settings file %1 is damaged; using defaults</source>
            <translation>die Einstellungsdatei %1 ist beschädigt; Standardwerte werden verwendet</translation>
        </message>
        <message>
            <source>it is locked</source>
            <translation>sie ist gesperrt</translation>
        </message>
        <message>
            <source>it cannot be read</source>
            <translation>sie kann nicht gelesen werden</translation>
        </message>
        <message>
            <source>cannot write the settings file %1 (%2); changes last until Sleevanta quits</source>
            <translation>die Einstellungsdatei %1 kann nicht geschrieben werden (%2); Änderungen gelten, bis Sleevanta beendet wird</translation>
        </message>
    </context>
    <context>
        <name>SharingServices</name>
        <message>
            <source>Email</source>
            <translation>E-Mail</translation>
        </message>
        <message>
            <source>The cover to attach is “%1”.</source>
            <translation>Das anzuhängende Cover ist „%1“.</translation>
        </message>
        <message>
            <source>Show in Folder</source>
            <translation>Im Ordner zeigen</translation>
        </message>
        <message>
            <source>The cover is in “%1”.</source>
            <translation>Das Cover liegt in „%1“.</translation>
        </message>
        <message>
            <source>Couldn't start an email: no mail program is set up.</source>
            <translation>Es konnte keine E-Mail begonnen werden: Kein E-Mail-Programm ist eingerichtet.</translation>
        </message>
        <message>
            <source>Couldn't show the folder: no file manager is set up.</source>
            <translation>Der Ordner konnte nicht gezeigt werden: Kein Dateimanager ist eingerichtet.</translation>
        </message>
    </context>
    <context>
        <name>Sleevanta</name>
        <message>
            <source>Usage: sleevanta [FILE|FOLDER|URI]...
Finds cover artwork in the iTunes Store catalogue and saves it.
Audio files and album folders given are searched by their tags (one album),
or opened in Fill Covers in Folder (several albums).

  -h, --help     show this help and end
  -v, --version  show the version and end
</source>
            <translation>Aufruf: sleevanta [DATEI|ORDNER|URI]...
Findet Cover-Bilder im Katalog des iTunes Store und speichert sie.
Übergebene Audiodateien und Albumordner werden nach ihren Tags gesucht (ein
Album) oder in „Cover in Ordner ergänzen“ geöffnet (mehrere Alben).

  -h, --help     diese Hilfe zeigen und beenden
  -v, --version  die Version zeigen und beenden
</translation>
        </message>
        <message>
            <source>unknown option %1</source>
            <translation>unbekannte Option %1</translation>
        </message>
    </context>
    <context>
        <name>StoreCatalogue</name>
        <message>
            <source>the iTunes Store</source>
            <translation>der iTunes Store</translation>
        </message>
    </context>
    <context>
        <name>StoreClient</name>
        <message>
            <source>answer too large</source>
            <translation>Antwort zu groß</translation>
        </message>
        <message>
            <source>HTTP status %1</source>
            <translation>HTTP-Status %1</translation>
        </message>
        <message>
            <source>the answer is no JSON object</source>
            <translation>die Antwort ist kein JSON-Objekt</translation>
        </message>
    </context>
</TS>
