<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AlbumReport</name>
    <message numerus="yes">
        <source>%Ln file(s)</source>
        <translation>
            <numerusform>%Ln file</numerusform>
            <numerusform>%Ln files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Ambiguous: %Ln albums match alike</source>
        <translation>
            <numerusform>Ambiguous: %Ln album matches alike</numerusform>
            <numerusform>Ambiguous: %Ln albums match alike</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>AlbumTarget</name>
    <message numerus="yes">
        <source>The cover went into %Ln file(s), but not into these: %1</source>
        <translation>
            <numerusform>The cover went into %Ln file, but not into these: %1</numerusform>
            <numerusform>The cover went into %Ln files, but not into these: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Embedded the cover into %Ln file(s).</source>
        <translation>
            <numerusform>Embedded the cover into %Ln file.</numerusform>
            <numerusform>Embedded the cover into %Ln files.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message numerus="yes">
        <source>%Ln Images: %1</source>
        <extracomment>The cache readout in the Edit menu: how many images, and their size.</extracomment>
        <translation>
            <numerusform>%Ln Images: %1</numerusform>
            <numerusform>%Ln Images: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CandidateStrip</name>
    <message numerus="yes">
        <source>%Ln track(s)</source>
        <translation>
            <numerusform>%Ln track</numerusform>
            <numerusform>%Ln tracks</numerusform>
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
        <source>%Ln album(s) remain; run the same command again later to go on.</source>
        <translation>
            <numerusform>%Ln album remains; run the same command again later to go on.</numerusform>
            <numerusform>%Ln albums remain; run the same command again later to go on.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln or more albums remain; run the same command again later to go on.</source>
        <translation>
            <numerusform>%Ln or more albums remain; run the same command again later to go on.</numerusform>
            <numerusform>%Ln or more albums remain; run the same command again later to go on.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Waiting %Ln s: %1</source>
        <translation>
            <numerusform>Waiting %Ln s: %1</numerusform>
            <numerusform>Waiting %Ln s: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>No item %1: the search found %Ln item(s).</source>
        <translation>
            <numerusform>No item %1: the search found %Ln item.</numerusform>
            <numerusform>No item %1: the search found %Ln items.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Kept aside: %Ln replaced cover(s), %1 (sleevanta-cli restore puts them back)</source>
        <translation>
            <numerusform>Kept aside: %Ln replaced cover, %1 (sleevanta-cli restore puts it back)</numerusform>
            <numerusform>Kept aside: %Ln replaced covers, %1 (sleevanta-cli restore puts them back)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Let go of %Ln kept cover(s).</source>
        <translation>
            <numerusform>Let go of %Ln kept cover.</numerusform>
            <numerusform>Let go of %Ln kept covers.</numerusform>
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
        <source>it has %Ln links; embedding would split them — embed through one name after breaking the links, or leave it</source>
        <translation>
            <numerusform>it has %Ln links; embedding would split them — embed through one name after breaking the links, or leave it</numerusform>
            <numerusform>it has %Ln links; embedding would split them — embed through one name after breaking the links, or leave it</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FillPlanner</name>
    <message numerus="yes">
        <source>Looking up %Ln album id(s)</source>
        <translation>
            <numerusform>Looking up %Ln album id</numerusform>
            <numerusform>Looking up %Ln album ids</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Looking up %Ln barcode(s)</source>
        <translation>
            <numerusform>Looking up %Ln barcode</numerusform>
            <numerusform>Looking up %Ln barcodes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FillReportModel</name>
    <message numerus="yes">
        <source>Stopped with %Ln album(s) left: %1.</source>
        <translation>
            <numerusform>Stopped with %Ln album left: %1.</numerusform>
            <numerusform>Stopped with %Ln albums left: %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The iTunes Store asks for a break; %Ln album(s) left. Continue later.</source>
        <translation>
            <numerusform>The iTunes Store asks for a break; %Ln album left. Continue later.</numerusform>
            <numerusform>The iTunes Store asks for a break; %Ln albums left. Continue later.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The iTunes Store could not be reached; %Ln album(s) left.</source>
        <translation>
            <numerusform>The iTunes Store could not be reached; %Ln album left.</numerusform>
            <numerusform>The iTunes Store could not be reached; %Ln albums left.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FillWindow</name>
    <message numerus="yes">
        <source>Waiting %Ln s: %1</source>
        <translation>
            <numerusform>Waiting %Ln s: %1</numerusform>
            <numerusform>Waiting %Ln s: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Reading the albums: %Ln found…</source>
        <translation>
            <numerusform>Reading the albums: %Ln found…</numerusform>
            <numerusform>Reading the albums: %Ln found…</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln album(s) found. Start looks for the covers they lack.</source>
        <translation>
            <numerusform>%Ln album found. Start looks for the covers they lack.</numerusform>
            <numerusform>%Ln albums found. Start looks for the covers they lack.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Reading stopped with %Ln album(s) listed. Start reads them all first.</source>
        <translation>
            <numerusform>Reading stopped with %Ln album listed. Start reads them all first.</numerusform>
            <numerusform>Reading stopped with %Ln albums listed. Start reads them all first.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln cover(s) put back; %1 left as they are (changed since, or moved).</source>
        <translation>
            <numerusform>%Ln cover put back; %1 left as they are (changed since, or moved).</numerusform>
            <numerusform>%Ln covers put back; %1 left as they are (changed since, or moved).</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NetworkAccess</name>
    <message numerus="yes">
        <source>no answer within %Ln seconds</source>
        <translation>
            <numerusform>no answer within %Ln second</numerusform>
            <numerusform>no answer within %Ln seconds</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>no data for %Ln seconds</source>
        <translation>
            <numerusform>no data for %Ln second</numerusform>
            <numerusform>no data for %Ln seconds</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SearchPane</name>
    <message numerus="yes">
        <source>%Ln result(s)</source>
        <translation>
            <numerusform>%Ln result</numerusform>
            <numerusform>%Ln results</numerusform>
        </translation>
    </message>
</context>
</TS>
