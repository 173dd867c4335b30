<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AlbumReport</name>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n file</numerusform>
            <numerusform>%n files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Ambiguous: %n albums match alike</source>
        <translation>
            <numerusform>Ambiguous: %n album matches alike</numerusform>
            <numerusform>Ambiguous: %n albums match alike</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>AlbumTarget</name>
    <message numerus="yes">
        <source>The cover went into %n file(s), but not into these: %1</source>
        <translation>
            <numerusform>The cover went into %n file, but not into these: %1</numerusform>
            <numerusform>The cover went into %n files, but not into these: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Embedded the cover into %n file(s).</source>
        <translation>
            <numerusform>Embedded the cover into %n file.</numerusform>
            <numerusform>Embedded the cover into %n files.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message numerus="yes">
        <source>%n Images: %1</source>
        <extracomment>The cache readout in the Edit menu: how many images, and their size.</extracomment>
        <translation>
            <numerusform>%n Images: %1</numerusform>
            <numerusform>%n Images: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CandidateStrip</name>
    <message numerus="yes">
        <source>%n track(s)</source>
        <translation>
            <numerusform>%n track</numerusform>
            <numerusform>%n tracks</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message numerus="yes">
        <source>%1 belongs to the command(s) %2</source>
        <translation>
            <numerusform>%1 belongs to the command %2</numerusform>
            <numerusform>%1 belongs to the commands %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n album(s) remain; run the same command again later to go on.</source>
        <translation>
            <numerusform>%n album remains; run the same command again later to go on.</numerusform>
            <numerusform>%n albums remain; run the same command again later to go on.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n or more albums remain; run the same command again later to go on.</source>
        <translation>
            <numerusform>%n or more albums remain; run the same command again later to go on.</numerusform>
            <numerusform>%n or more albums remain; run the same command again later to go on.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Waiting %n s: %1</source>
        <translation>
            <numerusform>Waiting %n s: %1</numerusform>
            <numerusform>Waiting %n s: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>No item %1: the search found %n item(s).</source>
        <translation>
            <numerusform>No item %1: the search found %n item.</numerusform>
            <numerusform>No item %1: the search found %n items.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Kept aside: %n replaced cover(s), %1 (sleevanta-cli restore puts them back)</source>
        <translation>
            <numerusform>Kept aside: %n replaced cover, %1 (sleevanta-cli restore puts it back)</numerusform>
            <numerusform>Kept aside: %n replaced covers, %1 (sleevanta-cli restore puts them back)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Let go of %n kept cover(s).</source>
        <translation>
            <numerusform>Let go of %n kept cover.</numerusform>
            <numerusform>Let go of %n kept covers.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>unknown storefront code(s): %1</source>
        <translation>
            <numerusform>unknown storefront code: %1</numerusform>
            <numerusform>unknown storefront codes: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>storefront code(s) given twice: %1</source>
        <translation>
            <numerusform>storefront code given twice: %1</numerusform>
            <numerusform>storefront codes given twice: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CoverEmbedder</name>
    <message numerus="yes">
        <source>it has %n links; embedding would split them — embed through one name after breaking the links, or leave it</source>
        <translation>
            <numerusform>it has %n links; embedding would split them — embed through one name after breaking the links, or leave it</numerusform>
            <numerusform>it has %n links; embedding would split them — embed through one name after breaking the links, or leave it</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FillPlanner</name>
    <message numerus="yes">
        <source>Looking up %n album id(s)</source>
        <translation>
            <numerusform>Looking up %n album id</numerusform>
            <numerusform>Looking up %n album ids</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Looking up %n barcode(s)</source>
        <translation>
            <numerusform>Looking up %n barcode</numerusform>
            <numerusform>Looking up %n barcodes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FillReportModel</name>
    <message numerus="yes">
        <source>Stopped with %n album(s) left: %1.</source>
        <translation>
            <numerusform>Stopped with %n album left: %1.</numerusform>
            <numerusform>Stopped with %n albums left: %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The iTunes Store asks for a break; %n album(s) left. Continue later.</source>
        <translation>
            <numerusform>The iTunes Store asks for a break; %n album left. Continue later.</numerusform>
            <numerusform>The iTunes Store asks for a break; %n albums left. Continue later.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The iTunes Store could not be reached; %n album(s) left.</source>
        <translation>
            <numerusform>The iTunes Store could not be reached; %n album left.</numerusform>
            <numerusform>The iTunes Store could not be reached; %n albums left.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FillWindow</name>
    <message numerus="yes">
        <source>Waiting %n s: %1</source>
        <translation>
            <numerusform>Waiting %n s: %1</numerusform>
            <numerusform>Waiting %n s: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Reading the albums: %n found…</source>
        <translation>
            <numerusform>Reading the albums: %n found…</numerusform>
            <numerusform>Reading the albums: %n found…</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n album(s) found. Start looks for the covers they lack.</source>
        <translation>
            <numerusform>%n album found. Start looks for the covers they lack.</numerusform>
            <numerusform>%n albums found. Start looks for the covers they lack.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Reading stopped with %n album(s) listed. Start reads them all first.</source>
        <translation>
            <numerusform>Reading stopped with %n album listed. Start reads them all first.</numerusform>
            <numerusform>Reading stopped with %n albums listed. Start reads them all first.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n cover(s) put back; %1 left as they are (changed since, or moved).</source>
        <translation>
            <numerusform>%n cover put back; %1 left as they are (changed since, or moved).</numerusform>
            <numerusform>%n covers put back; %1 left as they are (changed since, or moved).</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NetworkAccess</name>
    <message numerus="yes">
        <source>no answer within %n seconds</source>
        <translation>
            <numerusform>no answer within %n second</numerusform>
            <numerusform>no answer within %n seconds</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>no data for %n seconds</source>
        <translation>
            <numerusform>no data for %n second</numerusform>
            <numerusform>no data for %n seconds</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SearchPane</name>
    <message numerus="yes">
        <source>%n result(s)</source>
        <translation>
            <numerusform>%n result</numerusform>
            <numerusform>%n results</numerusform>
        </translation>
    </message>
</context>
</TS>
