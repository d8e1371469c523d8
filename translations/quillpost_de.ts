<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>About Quillpost</source>
        <translation>Über Quillpost</translation>
    </message>
    <message>
        <source>Quillpost icon</source>
        <translation>Quillpost-Symbol</translation>
    </message>
    <message>
        <source>Copyright (C) 2026 Quillworks</source>
        <translation>Copyright (C) 2026 Quillworks</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Quillpost Version %1</source>
        <translation>Quillpost Version %1</translation>
    </message>
</context>
<context>
    <name>CAddSiteCommand</name>
    <message>
        <source>--add-site URL [FILE] [--key KEY]</source>
        <translation>--add-site URL [DATEI] [--key SCHLÜSSEL]</translation>
    </message>
    <message>
        <source>  --add-site URL [FILE]   add the targets that announce the site at URL to FILE, or
                          to the list the window would load, and save it: IndexNow
                          with a new key (or --key KEY), the hubs its feeds name and
                          the well-known ping services; nothing is posted
</source>
        <translation>  --add-site URL [DATEI]  fügt die Ziele, die die Website unter URL bekannt machen,
                          zu DATEI oder zur Liste hinzu, die das Fenster laden würde,
                          und speichert sie: IndexNow mit neuem Schlüssel (oder --key
                          SCHLÜSSEL), die Hubs ihrer Feeds und die bekannten
                          Ping-Dienste; nichts wird gesendet
</translation>
    </message>
    <message>
        <source>--add-site: 0 when targets were added, 1 when nothing new was found or the site
could not be reached, 2 for an address that is no site&apos;s, a wrong key, or a list
that could not be read or saved, 75 when another run kept the list.
</source>
        <translation>--add-site: 0, wenn Ziele hinzugefügt wurden, 1, wenn nichts Neues gefunden oder
die Website nicht erreicht wurde, 2 bei einer Adresse, die keine Website ist, einem
falschen Schlüssel oder einer Liste, die nicht gelesen oder gespeichert werden
konnte, 75, wenn ein anderer Lauf die Liste behielt.
</translation>
    </message>
    <message>
        <source>--add-site takes a site address</source>
        <translation>--add-site erwartet die Adresse einer Website</translation>
    </message>
    <message>
        <source>--key takes 8 to 128 letters, digits or hyphens</source>
        <translation>--key erwartet 8 bis 128 Buchstaben, Ziffern oder Bindestriche</translation>
    </message>
    <message>
        <source>there</source>
        <extracomment>A line&apos;s first word in quillpost --add-site: a target the list holds already</extracomment>
        <translation>vorhanden</translation>
    </message>
    <message>
        <source>added</source>
        <extracomment>A line&apos;s first word in quillpost --add-site</extracomment>
        <translation>hinzugefügt</translation>
    </message>
    <message>
        <source>Nothing new to add: the list holds these targets already.</source>
        <translation>Nichts Neues hinzuzufügen: Die Liste enthält diese Ziele bereits.</translation>
    </message>
    <message>
        <source>Nothing was found to announce the site from.</source>
        <translation>Es wurde nichts gefunden, wovon aus die Website bekannt gemacht werden kann.</translation>
    </message>
    <message>
        <source>key</source>
        <extracomment>A line&apos;s first word in quillpost --add-site: the IndexNow key made</extracomment>
        <translation>Schlüssel</translation>
    </message>
    <message>
        <source>key file</source>
        <extracomment>A line&apos;s first word in quillpost --add-site: where the key file must be served</extracomment>
        <translation>Schlüsseldatei</translation>
    </message>
    <message>
        <source>Upload a file named %1.txt that holds the key alone to the site&apos;s root; quillpost --check-keys checks it.</source>
        <translation>Laden Sie eine Datei namens %1.txt, die nur den Schlüssel enthält, in das Wurzelverzeichnis der Website hoch; quillpost --check-keys prüft sie.</translation>
    </message>
</context>
<context>
    <name>CAddressListing</name>
    <message>
        <source>would announce as removed</source>
        <extracomment>A dry run&apos;s verdict on an address it would send as gone from the site</extracomment>
        <translation>würde als entfernt gemeldet</translation>
    </message>
    <message>
        <source>would announce</source>
        <translation>würde gemeldet</translation>
    </message>
</context>
<context>
    <name>CBodyKindCombo</name>
    <message>
        <source>Body kinds</source>
        <extracomment>The list of the ways a target&apos;s parameters can be posted: form, XML-RPC, JSON</extracomment>
        <translation>Inhaltstypen</translation>
    </message>
    <message>
        <source>Form</source>
        <extracomment>A body kind: the parameters posted as an HTML form</extracomment>
        <translation>Formular</translation>
    </message>
    <message>
        <source>XML-RPC</source>
        <extracomment>A body kind: the parameters posted as an XML-RPC call</extracomment>
        <translation>XML-RPC</translation>
    </message>
    <message>
        <source>JSON</source>
        <extracomment>A body kind: the parameters posted as a JSON object</extracomment>
        <translation>JSON</translation>
    </message>
    <message>
        <source>“%1”</source>
        <extracomment>A body kind this program does not know, quoted as the data file gives it</extracomment>
        <translation>„%1“</translation>
    </message>
</context>
<context>
    <name>CBrowserWindow</name>
    <message>
        <source>Navigation</source>
        <extracomment>Name of the tool bar with Back, Forward, Reload, Stop and the address</extracomment>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>Address</source>
        <extracomment>The web address of the page shown</extracomment>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>Page loading</source>
        <translation>Ladefortschritt</translation>
    </message>
    <message>
        <source>Open this address in your web browser. The page is fetched again there, without the form.</source>
        <translation>Öffnet diese Adresse in Ihrem Webbrowser. Die Seite wird dort neu abgerufen, jedoch ohne die Formulardaten.</translation>
    </message>
    <message>
        <source>&amp;Page</source>
        <extracomment>The browser window&apos;s one menu: what can be done with the page shown</extracomment>
        <translation>&amp;Seite</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Forward</source>
        <translation>&amp;Vor</translation>
    </message>
    <message>
        <source>&amp;Reload</source>
        <translation>&amp;Neu laden</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <extracomment>Stops loading the page</extracomment>
        <translation>&amp;Anhalten</translation>
    </message>
    <message>
        <source>Open in &amp;Web Browser</source>
        <translation>Im &amp;Webbrowser öffnen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <extracomment>Closes the window</extracomment>
        <translation>&amp;Schließen</translation>
    </message>
</context>
<context>
    <name>CCheckKeysCommand</name>
    <message>
        <source>ok</source>
        <extracomment>A key file&apos;s verdict at the start of a line of quillpost --check-keys</extracomment>
        <translation>in Ordnung</translation>
    </message>
    <message>
        <source>failed</source>
        <extracomment>A key file&apos;s verdict at the start of a line of quillpost --check-keys</extracomment>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>--check-keys [FILE] [--format=text|json|csv]</source>
        <translation>--check-keys [DATEI] [--format=text|json|csv]</translation>
    </message>
    <message>
        <source>  --check-keys [FILE]     fetch the key file of every IndexNow target of FILE, or
                          of the list the window would load, and print whether
                          it holds the key; nothing is posted
</source>
        <translation>  --check-keys [DATEI]    die Schlüsseldatei jedes IndexNow-Ziels aus DATEI oder
                          aus der Liste, die das Fenster laden würde, abrufen
                          und ausgeben, ob sie den Schlüssel enthält; es wird
                          nichts gesendet
</translation>
    </message>
    <message>
        <source>--check-keys: 0 when every key file holds its key, 1 when one fails, 2 when the
list could not be read.
</source>
        <translation>--check-keys: 0, wenn jede Schlüsseldatei ihren Schlüssel enthält, 1, wenn eine
durchfällt, 2, wenn die Liste nicht gelesen werden konnte.
</translation>
    </message>
</context>
<context>
    <name>CCommand</name>
    <message>
        <source>The output could not be written: %1.</source>
        <translation>Die Ausgabe konnte nicht geschrieben werden: %1.</translation>
    </message>
    <message>
        <source>--format takes text, json or csv, not &apos;%1&apos;.</source>
        <translation>--format nimmt text, json oder csv, nicht „%1“.</translation>
    </message>
    <message>
        <source>An empty FILE names no list; leave it out for the list the window would load.</source>
        <translation>Eine leere DATEI nennt keine Liste; für die Liste, die das Fenster laden würde, DATEI weglassen.</translation>
    </message>
    <message>
        <source>One list at a time: &apos;%1&apos; and &apos;%2&apos; were given.</source>
        <translation>Nur eine Liste auf einmal: „%1“ und „%2“ wurden angegeben.</translation>
    </message>
</context>
<context>
    <name>CCommandLine</name>
    <message>
        <source>See quillpost --help.</source>
        <translation>Siehe quillpost --help.</translation>
    </message>
    <message>
        <source>%1 go one at a time.</source>
        <extracomment>%1 lists the commands: &quot;--submit-all, --check-keys and --history&quot;</extracomment>
        <translation>%1 gehen nur einzeln.</translation>
    </message>
    <message>
        <source>%1 goes with %2.</source>
        <extracomment>%1 is an option, %2 the commands it goes with: &quot;--format goes with --submit-all or --history.&quot;</extracomment>
        <translation>%1 gibt es nur zusammen mit %2.</translation>
    </message>
    <message>
        <source>%1 go with %2.</source>
        <translation>%1 gibt es nur zusammen mit %2.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is no option; a list to post follows --submit-all.</source>
        <translation>„%1“ ist keine Option; eine zu sendende Liste folgt auf --submit-all.</translation>
    </message>
    <message>
        <source>Usage: quillpost
</source>
        <translation>Aufruf: quillpost
</translation>
    </message>
    <message>
        <source>  or:  quillpost %1
</source>
        <extracomment>A line of the usage, after the window&apos;s &quot;Usage: quillpost&quot;</extracomment>
        <translation>  oder: quillpost %1
</translation>
    </message>
    <message>
        <source>Without options, open the window that keeps the list of submit targets.
</source>
        <translation>Ohne Optionen öffnet sich das Fenster, das die Liste der Sendeziele führt.
</translation>
    </message>
    <message>
        <source>  --format=text|json|csv  how results are printed (default text); json and csv
                          are in English, with the summary on standard error
  -h, --help              print this help and exit
      --version           print the version and exit
</source>
        <translation>  --format=text|json|csv  wie die Ergebnisse ausgegeben werden (Vorgabe: text);
                          json und csv sind englisch, die Zusammenfassung
                          steht dann in der Standardfehlerausgabe
  -h, --help              diese Hilfe ausgeben und sich beenden
      --version           die Version ausgeben und sich beenden
</translation>
    </message>
    <message>
        <source>Exit status: 2 when the command line is wrong or the output could not be
written.
</source>
        <translation>Rückgabewert: 2, wenn der Aufruf falsch ist oder die Ausgabe nicht geschrieben
werden konnte.
</translation>
    </message>
    <message>
        <source>Examples:
</source>
        <translation>Beispiele:
</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <extracomment>Items of a list before its last: &quot;--submit-all, --check-keys&quot;</extracomment>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <extracomment>The last item of a list of which any one will do: &quot;--check-keys or --history&quot;</extracomment>
        <translation>%1 oder %2</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <extracomment>The last item of a list: &quot;--dry-run and --no-notify&quot;</extracomment>
        <translation>%1 und %2</translation>
    </message>
</context>
<context>
    <name>CDataFileMessages</name>
    <message>
        <source>The data file %1 was not loaded: %2.</source>
        <extracomment>%2 is why, in the words of the file system or the XML parser</extracomment>
        <translation>Die Datendatei %1 wurde nicht geladen: %2.</translation>
    </message>
    <message>
        <source>The next save keeps it as %1.</source>
        <translation>Beim nächsten Speichern wird sie als %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>The data file %1 was saved, but %2.</source>
        <extracomment>%2 is what went wrong after the file was written, as &quot;its folder could not be synced&quot;</extracomment>
        <translation>Die Datendatei %1 wurde gespeichert, danach trat jedoch ein Fehler auf: %2.</translation>
    </message>
    <message>
        <source>The data file %1 was not saved: %2. The file was left as it was.</source>
        <extracomment>%2 is why, in the words of the file system</extracomment>
        <translation>Die Datendatei %1 wurde nicht gespeichert: %2. Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>The data file %1 was saved.</source>
        <translation>Die Datendatei %1 wurde gespeichert.</translation>
    </message>
    <message>
        <source>The file it replaced held more than the list, or had been changed by another program; it is kept as %1.</source>
        <translation>Die ersetzte Datei enthielt mehr als die Liste oder war von einem anderen Programm geändert worden; sie wird als %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <extracomment>A target&apos;s address quoted in a sentence</extracomment>
        <translation>„%1“</translation>
    </message>
    <message>
        <source>%1 and %2 more</source>
        <extracomment>%1 is a list of targets&apos; addresses, %2 how many more targets there are</extracomment>
        <translation>%1 und %2 weitere</translation>
    </message>
    <message>
        <source>Characters a data file cannot hold were saved as U+FFFD in the targets %1.</source>
        <translation>Zeichen, die eine Datendatei nicht aufnehmen kann, wurden in den Zielen %1 als U+FFFD gespeichert.</translation>
    </message>
    <message>
        <source>Characters a data file cannot hold were saved as U+FFFD in the target %1.</source>
        <translation>Zeichen, die eine Datendatei nicht aufnehmen kann, wurden im Ziel %1 als U+FFFD gespeichert.</translation>
    </message>
</context>
<context>
    <name>CDesktopNotifier</name>
    <message>
        <source>Quillpost: posting failed %1 times</source>
        <extracomment>A desktop notification&apos;s title; the text below it names the address and why</extracomment>
        <translation>Quillpost: Senden %1-mal fehlgeschlagen</translation>
    </message>
    <message>
        <source>Quillpost: posting works again</source>
        <extracomment>A desktop notification&apos;s title; the text below it is the address</extracomment>
        <translation>Quillpost: Senden funktioniert wieder</translation>
    </message>
</context>
<context>
    <name>CDiscoverCommand</name>
    <message>
        <source>--discover URL [--format=text|json]</source>
        <translation>--discover URL [--format=text|json]</translation>
    </message>
    <message>
        <source>  --discover URL          print the sitemaps, feeds and hubs the site at URL names
                          or has at the usual places; nothing is posted or saved
</source>
        <translation>  --discover URL          die Sitemaps, Feeds und Hubs ausgeben, die die Website unter
                          URL nennt oder an den üblichen Stellen hat; nichts wird
                          gesendet oder gespeichert
</translation>
    </message>
    <message>
        <source>--discover: 0 when something was found, 1 when nothing was or the site
could not be reached, 2 for an address that is no site&apos;s.
</source>
        <translation>--discover: 0, wenn etwas gefunden wurde, 1, wenn nichts gefunden oder die Website
nicht erreicht wurde, 2 für eine Adresse, die keine Website ist.
</translation>
    </message>
    <message>
        <source>--discover takes one site address</source>
        <translation>--discover nimmt eine Website-Adresse</translation>
    </message>
    <message>
        <source>--discover prints text or json</source>
        <translation>--discover gibt text oder json aus</translation>
    </message>
    <message>
        <source>(guessed)</source>
        <extracomment>Said after a sitemap or feed in quillpost --discover: found at a usual place, not named by the site</extracomment>
        <translation>(vermutet)</translation>
    </message>
    <message>
        <source>site</source>
        <extracomment>A line&apos;s first word in quillpost --discover</extracomment>
        <translation>Website</translation>
    </message>
    <message>
        <source>title</source>
        <extracomment>A line&apos;s first word in quillpost --discover</extracomment>
        <translation>Titel</translation>
    </message>
    <message>
        <source>sitemap</source>
        <extracomment>A line&apos;s first word in quillpost --discover</extracomment>
        <translation>Sitemap</translation>
    </message>
    <message>
        <source>(another site&apos;s)</source>
        <extracomment>Said after a feed in quillpost --discover</extracomment>
        <translation>(einer anderen Website)</translation>
    </message>
    <message>
        <source>feed</source>
        <extracomment>A line&apos;s first word in quillpost --discover</extracomment>
        <translation>Feed</translation>
    </message>
    <message>
        <source>  hub</source>
        <extracomment>A line&apos;s first word in quillpost --discover: a hub a feed names</extracomment>
        <translation>  Hub</translation>
    </message>
    <message>
        <source>hub</source>
        <extracomment>A line&apos;s first word in quillpost --discover: a hub the home page names</extracomment>
        <translation>Hub</translation>
    </message>
    <message>
        <source>note</source>
        <extracomment>A line&apos;s first word in quillpost --discover: what it could not read, or saw of the site</extracomment>
        <translation>Hinweis</translation>
    </message>
</context>
<context>
    <name>CHelperLauncher</name>
    <message>
        <source>%1 is missing; it was looked for as %2</source>
        <extracomment>%1 is the browser helper program&apos;s name, %2 the paths it was looked for at</extracomment>
        <translation>%1 fehlt; gesucht wurde unter %2</translation>
    </message>
    <message>
        <source> and </source>
        <extracomment>Joins the paths the browser helper program was looked for at: &quot;/a and /b&quot;</extracomment>
        <translation> und </translation>
    </message>
    <message>
        <source>%1 cannot be started: %2</source>
        <extracomment>%1 is the browser helper program, %2 why it cannot be started</extracomment>
        <translation>%1 kann nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>%1 crashed before its window was shown</source>
        <extracomment>%1 is the browser helper program&apos;s name</extracomment>
        <translation>%1 ist abgestürzt, bevor sein Fenster angezeigt wurde</translation>
    </message>
    <message>
        <source>%1 ended with status %2 before its window was shown</source>
        <extracomment>%1 is the browser helper program&apos;s name, %2 its exit status</extracomment>
        <translation>%1 wurde mit Status %2 beendet, bevor sein Fenster angezeigt wurde</translation>
    </message>
</context>
<context>
    <name>CHistoryCommand</name>
    <message>
        <source>The history cannot be found: %1.</source>
        <extracomment>%1 says why no state folder is known, as &quot;HOME is not set&quot;</extracomment>
        <translation>Der Verlauf ist nicht zu finden: %1.</translation>
    </message>
    <message>
        <source>The history %1 could not be read: %2.</source>
        <translation>Der Verlauf %1 konnte nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>--history reads no list: &apos;%1&apos; was given.</source>
        <translation>--history liest keine Liste: „%1“ wurde angegeben.</translation>
    </message>
    <message>
        <source>--since takes 7d, 12h, 30m, 2026-12-01 or 2026-12-01T10:00:00Z, not &apos;%1&apos;.</source>
        <translation>--since nimmt 7d, 12h, 30m, 2026-12-01 oder 2026-12-01T10:00:00Z, nicht „%1“.</translation>
    </message>
    <message>
        <source>--history [--page=URL] [--since=DURATION|DATE] [--format=text|json|csv]</source>
        <translation>--history [--page=URL] [--since=DAUER|DATUM] [--format=text|json|csv]</translation>
    </message>
    <message>
        <source>  --history               print the post log, oldest first
  --page=URL              only the times the page was sent, removed, recorded
                          at a baseline or left out, newest first
  --since=DURATION|DATE   only the log from 7d, 12h or 30m ago, or from a UTC
                          date such as 2026-12-01 or 2026-12-01T10:00:00Z
</source>
        <translation>  --history               das Sendeprotokoll ausgeben, das älteste zuerst
  --page=URL              nur, wann die Seite gesendet, als entfernt gemeldet,
                          im Ausgangsstand erfasst oder ausgelassen wurde, das
                          Neueste zuerst
  --since=DAUER|DATUM     nur das Protokoll seit 7d, 12h oder 30m oder seit
                          einem UTC-Datum wie 2026-12-01 oder
                          2026-12-01T10:00:00Z
</translation>
    </message>
    <message>
        <source>--history: 0, or 2 when the log cannot be read; with --page, 1 when the
page was never sent, recorded or left out.
</source>
        <translation>--history: 0, oder 2, wenn das Protokoll nicht lesbar ist; mit --page 1, wenn
die Seite nie gesendet, erfasst oder ausgelassen wurde.
</translation>
    </message>
    <message>
        <source>One --page at a time: &apos;%1&apos; and &apos;%2&apos; were given.</source>
        <translation>Nur eine --page auf einmal: „%1“ und „%2“ wurden angegeben.</translation>
    </message>
    <message>
        <source>--page takes a page&apos;s whole http or https address, not &apos;%1&apos;.</source>
        <translation>--page nimmt die ganze http- oder https-Adresse einer Seite, nicht „%1“.</translation>
    </message>
    <message>
        <source>Never sent</source>
        <translation>Nie gesendet</translation>
    </message>
</context>
<context>
    <name>CHistoryDetails</name>
    <message>
        <source>Time:</source>
        <extracomment>In the History window&apos;s details of the post selected: when it was made</extracomment>
        <translation>Zeit:</translation>
    </message>
    <message>
        <source>Time of the post</source>
        <translation>Zeit des Sendevorgangs</translation>
    </message>
    <message>
        <source>Status:</source>
        <extracomment>In the History window&apos;s details: the outcome, the service&apos;s status and reason, and how long the post took</extracomment>
        <translation>Status:</translation>
    </message>
    <message>
        <source>Status of the post</source>
        <translation>Status des Sendevorgangs</translation>
    </message>
    <message>
        <source>Target:</source>
        <extracomment>In the History window&apos;s details: the URL the post went to</extracomment>
        <translation>Ziel:</translation>
    </message>
    <message>
        <source>Target URL</source>
        <translation>URL des Ziels</translation>
    </message>
    <message>
        <source>Kind:</source>
        <extracomment>In the History window&apos;s details: the target&apos;s body kind, as form or json</extracomment>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>Kind of the target</source>
        <translation>Typ des Ziels</translation>
    </message>
    <message>
        <source>Changes from:</source>
        <extracomment>In the History window&apos;s details: the sitemap or feed whose changes the target posts</extracomment>
        <translation>Änderungen aus:</translation>
    </message>
    <message>
        <source>Source of the changes</source>
        <translation>Quelle der Änderungen</translation>
    </message>
    <message>
        <source>Run:</source>
        <extracomment>In the History window&apos;s details: the run the post was made in</extracomment>
        <translation>Lauf:</translation>
    </message>
    <message>
        <source>Run of the post</source>
        <translation>Lauf des Sendevorgangs</translation>
    </message>
    <message>
        <source>Only this &amp;run</source>
        <extracomment>Lists only the posts of the run the selected post was made in; pressed again, every run&apos;s</extracomment>
        <translation>Nur diesen &amp;Lauf</translation>
    </message>
    <message>
        <source>Addresses:</source>
        <extracomment>In the History window&apos;s details: how many of the site&apos;s addresses the post carried</extracomment>
        <translation>Adressen:</translation>
    </message>
    <message>
        <source>Addresses of the post</source>
        <translation>Adressen des Sendevorgangs</translation>
    </message>
    <message>
        <source>Service &amp;message:</source>
        <extracomment>Label of the whole text the service answered the selected post with</extracomment>
        <translation>&amp;Meldung des Dienstes:</translation>
    </message>
    <message>
        <source>Addresses carried</source>
        <extracomment>The addresses the selected post carried, each with what became of it</extracomment>
        <translation>Gesendete Adressen</translation>
    </message>
    <message>
        <source>%1 · %2 s</source>
        <extracomment>A post&apos;s status and how long it took: &quot;Failed · 503 Service Unavailable · 2.01 s&quot;</extracomment>
        <translation>%1 · %2 s</translation>
    </message>
    <message>
        <source>Run %1 · posts: %2</source>
        <extracomment>The run a post was made in, and how many posts it made: &quot;Run 42 · posts: 12&quot;</extracomment>
        <translation>Lauf %1 · Sendevorgänge: %2</translation>
    </message>
</context>
<context>
    <name>CHistoryDlg</name>
    <message>
        <source>History</source>
        <extracomment>Title of the window that lists the post log</extracomment>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>&amp;Filter:</source>
        <extracomment>Label of the field whose text the listed posts must hold</extracomment>
        <translation>&amp;Filter:</translation>
    </message>
    <message>
        <source>Lists only the posts whose URL, outcome or service message holds this text</source>
        <translation>Zeigt nur die Sendevorgänge, deren URL, Ergebnis oder Meldung des Dienstes diesen Text enthält</translation>
    </message>
    <message>
        <source>URL, outcome or service message</source>
        <translation>URL, Ergebnis oder Meldung des Dienstes</translation>
    </message>
    <message>
        <source>&amp;Page:</source>
        <extracomment>Label of the field that takes a page&apos;s address, to list every time the page went out</extracomment>
        <translation>Sei&amp;te:</translation>
    </message>
    <message>
        <source>Lists every time this page was sent, announced as removed, recorded at a baseline or left out</source>
        <translation>Zeigt jedes Mal, wenn diese Seite gesendet, als entfernt gemeldet, im Ausgangsstand erfasst oder ausgelassen wurde</translation>
    </message>
    <message>
        <source>A page&apos;s address, to see when it went out</source>
        <translation>Adresse einer Seite, um zu sehen, wann sie gesendet wurde</translation>
    </message>
    <message>
        <source>Posts</source>
        <extracomment>The list of the posts made, newest first</extracomment>
        <translation>Sendevorgänge</translation>
    </message>
    <message>
        <source>History status</source>
        <extracomment>Name a screen reader gives the History window&apos;s status line while it shows nothing</extracomment>
        <translation>Status des Verlaufs</translation>
    </message>
    <message>
        <source>Forget this &amp;target</source>
        <extracomment>Clears the record of what was sent for the target selected in the main window, so that its next run is a first run</extracomment>
        <translation>Dieses Ziel &amp;vergessen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Clears the record of what was sent for %1: its next run is a first run again</source>
        <translation>Löscht die Aufzeichnung dessen, was für %1 gesendet wurde: Sein nächster Lauf ist wieder ein erster Lauf</translation>
    </message>
    <message>
        <source>There is no history: %1</source>
        <extracomment>%1 says why no state folder is known, as &quot;HOME is not set&quot;</extracomment>
        <translation>Es gibt keinen Verlauf: %1</translation>
    </message>
    <message>
        <source>Reading the history…</source>
        <translation>Der Verlauf wird gelesen…</translation>
    </message>
    <message>
        <source>Not a page&apos;s whole http or https address</source>
        <extracomment>In the History window, while its Page field holds no address to look for</extracomment>
        <translation>Keine ganze http- oder https-Adresse einer Seite</translation>
    </message>
    <message>
        <source>Never sent</source>
        <extracomment>In the History window: the page whose address is in its Page field is in no post</extracomment>
        <translation>Nie gesendet</translation>
    </message>
    <message>
        <source>No posts are recorded yet.</source>
        <translation>Es sind noch keine Sendevorgänge aufgezeichnet.</translation>
    </message>
    <message>
        <source>%1 is forgotten: its next run is a first run again.</source>
        <extracomment>After Forget this target in the History window</extracomment>
        <translation>%1 ist vergessen: Sein nächster Lauf ist wieder ein erster Lauf.</translation>
    </message>
    <message>
        <source>The damaged history file was moved aside to %1.</source>
        <translation>Die beschädigte Verlaufsdatei wurde als %1 beiseitegelegt.</translation>
    </message>
    <message>
        <source>Posts: %1</source>
        <extracomment>How many posts the History window lists</extracomment>
        <translation>Sendevorgänge: %1</translation>
    </message>
    <message>
        <source>Posts: %1 of %2</source>
        <extracomment>How many posts the History window lists through its filter, of how many</extracomment>
        <translation>Sendevorgänge: %1 von %2</translation>
    </message>
    <message>
        <source>E&amp;xport…</source>
        <extracomment>Writes the posts the History window lists to a CSV file</extracomment>
        <translation>E&amp;xportieren…</translation>
    </message>
    <message>
        <source>Export History</source>
        <translation>Verlauf exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation>CSV-Dateien (*.csv);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>The history was not exported to %1: %2.</source>
        <translation>Der Verlauf wurde nicht nach %1 exportiert: %2.</translation>
    </message>
    <message>
        <source>Clear the filter</source>
        <extracomment>The button at the end of the History&apos;s Filter field that empties it</extracomment>
        <translation>Filter leeren</translation>
    </message>
    <message>
        <source>Clear the page</source>
        <extracomment>The button at the end of the History&apos;s Page field that empties it</extracomment>
        <translation>Seite leeren</translation>
    </message>
</context>
<context>
    <name>CHistoryModel</name>
    <message>
        <source>Time</source>
        <extracomment>Heading of the History window&apos;s column of when a post was made</extracomment>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Status</source>
        <extracomment>Heading of the History window&apos;s column of the service&apos;s status and reason, or why the post got no answer: &quot;503 Service Unavailable&quot;</extracomment>
        <translation>Status</translation>
    </message>
    <message>
        <source>Service Message</source>
        <extracomment>Heading of the History window&apos;s column of what the service said in its answer</extracomment>
        <translation>Meldung des Dienstes</translation>
    </message>
    <message>
        <source>Addresses</source>
        <extracomment>Heading of the History window&apos;s column of how many of the site&apos;s addresses a post carried</extracomment>
        <translation>Adressen</translation>
    </message>
</context>
<context>
    <name>CIndexNowKeyDlg</name>
    <message>
        <source>IndexNow Key</source>
        <extracomment>Title of the window that makes, saves and checks a target&apos;s IndexNow key</extracomment>
        <translation>IndexNow-Schlüssel</translation>
    </message>
    <message>
        <source>&amp;Host:</source>
        <extracomment>Label of the field showing the site&apos;s host name the IndexNow target posts for</extracomment>
        <translation>&amp;Host:</translation>
    </message>
    <message>
        <source>&amp;Key:</source>
        <extracomment>Label of the field showing the target&apos;s IndexNow key</extracomment>
        <translation>&amp;Schlüssel:</translation>
    </message>
    <message>
        <source>Gives the target a new random key, and its key file a name after it</source>
        <translation>Gibt dem Ziel einen neuen zufälligen Schlüssel und benennt seine Schlüsseldatei danach</translation>
    </message>
    <message>
        <source>&amp;New Key</source>
        <extracomment>Makes a new random IndexNow key for the target</extracomment>
        <translation>&amp;Neuer Schlüssel</translation>
    </message>
    <message>
        <source>Key &amp;file:</source>
        <extracomment>Label of the field showing the address where the site publishes its IndexNow key</extracomment>
        <translation>Schlüssel&amp;datei:</translation>
    </message>
    <message>
        <source>Writes the key into a file, to be put on the site at the key file&apos;s address</source>
        <translation>Schreibt den Schlüssel in eine Datei, die unter der Adresse der Schlüsseldatei auf die Website gehört</translation>
    </message>
    <message>
        <source>&amp;Save Key File...</source>
        <translation>Schlüsseldatei s&amp;peichern...</translation>
    </message>
    <message>
        <source>Key file check</source>
        <extracomment>Name a screen reader gives the line that says what checking the key file came to, while it shows nothing</extracomment>
        <translation>Prüfung der Schlüsseldatei</translation>
    </message>
    <message>
        <source>Check key file</source>
        <translation>Schlüsseldatei prüfen</translation>
    </message>
    <message>
        <source>Fetches the key file as a search engine would and says whether it holds the key</source>
        <translation>Ruft die Schlüsseldatei ab, wie eine Suchmaschine es täte, und sagt, ob sie den Schlüssel enthält</translation>
    </message>
    <message>
        <source>&amp;Check</source>
        <extracomment>Fetches the key file from the site and says whether it holds the key</extracomment>
        <translation>P&amp;rüfen</translation>
    </message>
    <message>
        <source>Cl&amp;ose</source>
        <translation>Schl&amp;ießen</translation>
    </message>
    <message>
        <source>No “host” parameter</source>
        <translation>Kein Parameter „host“</translation>
    </message>
    <message>
        <source>No “key” parameter: New Key adds one</source>
        <translation>Kein Parameter „key“: Neuer Schlüssel fügt einen hinzu</translation>
    </message>
    <message>
        <source>None without a “host” parameter</source>
        <translation>Keine ohne einen Parameter „host“</translation>
    </message>
    <message>
        <source>None without a “key” parameter</source>
        <translation>Keine ohne einen Parameter „key“</translation>
    </message>
    <message>
        <source>Save Key File</source>
        <translation>Schlüsseldatei speichern</translation>
    </message>
    <message>
        <source>Text files (*.txt);;All files (*)</source>
        <translation>Textdateien (*.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>The key file was not saved to %1: %2.</source>
        <translation>Die Schlüsseldatei wurde nicht in %1 gespeichert: %2.</translation>
    </message>
    <message>
        <source>Checking the key file…</source>
        <translation>Die Schlüsseldatei wird geprüft…</translation>
    </message>
    <message>
        <source>The key file holds the key.</source>
        <translation>Die Schlüsseldatei enthält den Schlüssel.</translation>
    </message>
    <message>
        <source>Key file %1: %2</source>
        <extracomment>%1 is the key file&apos;s address, %2 why it could not be fetched: &quot;Connection refused&quot;</extracomment>
        <translation>Schlüsseldatei %1: %2</translation>
    </message>
</context>
<context>
    <name>CListHolderText</name>
    <message>
        <source>another run</source>
        <extracomment>Who holds a list, when the lock does not say: &quot;This list is being posted by another run&quot;</extracomment>
        <translation>einem anderen Lauf</translation>
    </message>
    <message>
        <source>the window</source>
        <extracomment>Who holds a list: &quot;This list is being posted by the window (process 42, since ...)&quot;</extracomment>
        <translation>dem Fenster</translation>
    </message>
    <message>
        <source>the command line</source>
        <extracomment>Who holds a list: &quot;This list is being posted by the command line (process 42, since ...)&quot;</extracomment>
        <translation>der Befehlszeile</translation>
    </message>
    <message>
        <source>%1 (process %2, since %3)</source>
        <extracomment>Who holds a list: &quot;the command line (process 4242, since 2026-12-08 14:45:07)&quot;</extracomment>
        <translation>%1 (Prozess %2, seit %3)</translation>
    </message>
</context>
<context>
    <name>CListWait</name>
    <message>
        <source>This list is being posted by %1; waiting for it to end.</source>
        <translation>Diese Liste wird gerade von %1 gesendet; warte, bis das Senden beendet ist.</translation>
    </message>
    <message>
        <source>This list is still being posted by %1; nothing was posted.</source>
        <translation>Diese Liste wird noch immer von %1 gesendet; es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>Runs of this list are not kept apart: %1.</source>
        <translation>Läufe dieser Liste werden nicht auseinandergehalten: %1.</translation>
    </message>
</context>
<context>
    <name>CMainMenuBar</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Run</source>
        <extracomment>Menu of the commands that post the targets</extracomment>
        <translation>&amp;Ausführen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Open Data Folder</source>
        <extracomment>Shows the folder that holds the data file in the file manager</extracomment>
        <translation>&amp;Datenordner öffnen</translation>
    </message>
</context>
<context>
    <name>CParamListModel</name>
    <message>
        <source>Parameter Name</source>
        <translation>Parametername</translation>
    </message>
    <message>
        <source>Parameter Value</source>
        <translation>Parameterwert</translation>
    </message>
</context>
<context>
    <name>CPreviewDlg</name>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>What Submit All would post now. Nothing is sent.</source>
        <extracomment>Above the preview&apos;s list: a dry run of Submit All</extracomment>
        <translation>Was „Alle senden“ jetzt senden würde. Es wird nichts gesendet.</translation>
    </message>
    <message>
        <source>Body</source>
        <extracomment>The preview&apos;s field that shows the exact body the selected post would send</extracomment>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>Addresses</source>
        <extracomment>The preview&apos;s field that lists each address the selected target would announce or leave out, and why</extracomment>
        <translation>Adressen</translation>
    </message>
</context>
<context>
    <name>CQuillpostDlg</name>
    <message>
        <source>The browser window cannot be opened: %1</source>
        <translation>Das Browserfenster kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>Save Results</source>
        <translation>Ergebnisse speichern</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation>CSV-Dateien (*.csv);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>The data folder cannot be shown: %1.</source>
        <translation>Der Datenordner kann nicht angezeigt werden: %1.</translation>
    </message>
</context>
<context>
    <name>CResultText</name>
    <message>
        <source>sent</source>
        <extracomment>What became of a page in a post: it carried the page</extracomment>
        <translation>gesendet</translation>
    </message>
    <message>
        <source>removed</source>
        <extracomment>What became of a page in a post: it announced the page as gone from the site</extracomment>
        <translation>entfernt</translation>
    </message>
    <message>
        <source>baseline</source>
        <extracomment>What became of a page: recorded at a target&apos;s first run, which sends nothing</extracomment>
        <translation>Ausgangsstand</translation>
    </message>
    <message>
        <source>left out</source>
        <extracomment>What became of a page in a run: not announced, for the reason that follows</extracomment>
        <translation>ausgelassen</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>A post&apos;s outcome, then what the service said about it</extracomment>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>%1 · %2 s</source>
        <extracomment>A post&apos;s outcome, then the seconds it took</extracomment>
        <translation>%1 · %2 s</translation>
    </message>
    <message>
        <source>Final address: %1</source>
        <extracomment>The address the post ended at, after any redirects</extracomment>
        <translation>Endgültige Adresse: %1</translation>
    </message>
    <message>
        <source>Answer:
%1</source>
        <extracomment>The start of the page the service answered with</extracomment>
        <translation>Antwort:
%1</translation>
    </message>
    <message>
        <source>,</source>
        <comment>digit grouping</comment>
        <extracomment>Separates groups of three digits in counts: &quot;1,000&quot;</extracomment>
        <translation>.</translation>
    </message>
    <message>
        <source>.</source>
        <comment>decimal point</comment>
        <extracomment>Separates the whole seconds from their fraction: &quot;0.42 s&quot;</extracomment>
        <translation>,</translation>
    </message>
    <message>
        <source>%1 · moved to %2</source>
        <extracomment>A post&apos;s outcome, then where its address has moved for good, so the user can change the list: &quot;200 OK · moved to https://new.example/ping&quot;</extracomment>
        <translation>%1 · umgezogen nach %2</translation>
    </message>
    <message>
        <source>%1 · 1 address</source>
        <extracomment>An IndexNow post&apos;s outcome, then how many addresses it carried</extracomment>
        <translation>%1 · 1 Adresse</translation>
    </message>
    <message>
        <source>%1 · %2 addresses</source>
        <extracomment>An IndexNow post&apos;s outcome, then how many addresses it carried: &quot;200 OK · 3 addresses&quot;</extracomment>
        <translation>%1 · %2 Adressen</translation>
    </message>
    <message>
        <source>%1, %2 removed</source>
        <extracomment>After the count of addresses a post carried, how many of them it announces as removed from the site: &quot;200 OK · 3 addresses, 1 removed&quot;</extracomment>
        <translation>%1, %2 als entfernt</translation>
    </message>
    <message>
        <source>%1, %2 left out</source>
        <extracomment>After the count of addresses a post carried, how many of the site&apos;s the page checks left out: &quot;200 OK · 3 addresses, 2 left out&quot;</extracomment>
        <translation>%1, %2 ausgelassen</translation>
    </message>
    <message>
        <source>Left out:</source>
        <extracomment>Above the addresses the page checks left out, each with its reason</extracomment>
        <translation>Ausgelassen:</translation>
    </message>
    <message>
        <source>%1 – %2</source>
        <extracomment>An address the page checks left out, and why: &quot;https://www.example.com/a – not found&quot;</extracomment>
        <translation>%1 – %2</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <extracomment>After the first addresses left out: how many more there are</extracomment>
        <translation>und %1 weitere</translation>
    </message>
</context>
<context>
    <name>CResultsFile</name>
    <message>
        <source>The results were not saved to %1: %2.</source>
        <translation>Die Ergebnisse wurden nicht in %1 gespeichert: %2.</translation>
    </message>
</context>
<context>
    <name>CRunListLock</name>
    <message>
        <source>This list is being posted by %1: try again once it has ended.</source>
        <extracomment>%1 names the run, as &quot;the command line (process 4242, since 2026-12-08 14:45:07)&quot;</extracomment>
        <translation>Diese Liste wird gerade von %1 gesendet: Versuchen Sie es erneut, sobald das Senden beendet ist.</translation>
    </message>
</context>
<context>
    <name>CRunStatus</name>
    <message>
        <source>%1 of %2 done · %3 succeeded · %4 failed · %5</source>
        <extracomment>The status line while a run lasts: &quot;3 of 10 done · 2 succeeded · 1 failed · 0:12&quot;</extracomment>
        <translation>%1 von %2 erledigt · %3 erfolgreich · %4 fehlgeschlagen · %5</translation>
    </message>
    <message>
        <source>Stopped: %1 succeeded, %2 failed in %3</source>
        <extracomment>The status line after a run that Stop ended; %3 is its time taken, as &quot;0:12&quot;</extracomment>
        <translation>Gestoppt: %1 erfolgreich, %2 fehlgeschlagen in %3</translation>
    </message>
    <message>
        <source>Done: %1 succeeded, %2 failed in %3</source>
        <extracomment>The status line after a run; %3 is its time taken, as &quot;0:12&quot;</extracomment>
        <translation>Fertig: %1 erfolgreich, %2 fehlgeschlagen in %3</translation>
    </message>
    <message>
        <source>%1 · %2 unchanged</source>
        <extracomment>After the status line, the targets that had nothing to post: &quot;… · 3 unchanged&quot;</extracomment>
        <translation>%1 · %2 unverändert</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>Dry run: %1 would post, %2 would fail</source>
        <extracomment>The status line after a dry run, which posted nothing: &quot;Dry run: 3 would post, 1 would fail&quot;</extracomment>
        <translation>Probelauf: %1 würden gesendet, %2 würden fehlschlagen</translation>
    </message>
    <message>
        <source>%1 · %2 recorded</source>
        <extracomment>After the status line, the targets whose first run recorded their site&apos;s addresses and posted nothing: &quot;… · 1 recorded&quot;</extracomment>
        <translation>%1 · %2 aufgezeichnet</translation>
    </message>
</context>
<context>
    <name>CSetUpSiteDlg</name>
    <message>
        <source>Set Up Site</source>
        <extracomment>Title of the window that finds a site&apos;s sitemaps, feeds and hubs and makes targets of them</extracomment>
        <translation>Website einrichten</translation>
    </message>
    <message>
        <source>Site&apos;s &amp;address:</source>
        <extracomment>Label of the field for the address of the user&apos;s own web site</extracomment>
        <translation>&amp;Adresse der Website:</translation>
    </message>
    <message>
        <source>Reads the site&apos;s robots.txt, home page and feeds for what it can be announced from</source>
        <translation>Liest robots.txt, Startseite und Feeds der Website darauf, wovon aus sie bekannt gemacht werden kann</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <extracomment>Starts reading the site for its sitemaps, feeds and hubs</extracomment>
        <translation>&amp;Finden</translation>
    </message>
    <message>
        <source>Targets found</source>
        <translation>Gefundene Ziele</translation>
    </message>
    <message>
        <source>Target</source>
        <extracomment>Heading of the column of the services&apos; addresses</extracomment>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Kind</source>
        <extracomment>Heading of the column saying what kind of service a target is</extracomment>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Changes from</source>
        <extracomment>Heading of the column of the sitemap or feed a target posts the changes of</extracomment>
        <translation>Änderungen aus</translation>
    </message>
    <message>
        <source>&amp;IndexNow endpoint:</source>
        <extracomment>Label of the field for the address IndexNow submissions are posted to</extracomment>
        <translation>&amp;IndexNow-Endpunkt:</translation>
    </message>
    <message>
        <source>What was said of the site</source>
        <translation>Was über die Website gesagt wurde</translation>
    </message>
    <message>
        <source>Adds the checked targets to the list</source>
        <translation>Fügt die angekreuzten Ziele der Liste hinzu</translation>
    </message>
    <message>
        <source>A&amp;dd</source>
        <extracomment>Adds the checked targets to the target list</extracomment>
        <translation>Hinzufü&amp;gen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>IndexNow</source>
        <translation>IndexNow</translation>
    </message>
    <message>
        <source>WebSub hub</source>
        <extracomment>A target that tells a WebSub hub of a feed&apos;s changes</extracomment>
        <translation>WebSub-Hub</translation>
    </message>
    <message>
        <source>Ping (XML-RPC)</source>
        <extracomment>A target that pings a blog ping service by XML-RPC</extracomment>
        <translation>Ping (XML-RPC)</translation>
    </message>
    <message>
        <source> · in the list</source>
        <extracomment>Said of a target found for the site that the list holds already</extracomment>
        <translation> · in der Liste</translation>
    </message>
    <message>
        <source> · another site&apos;s feed</source>
        <extracomment>Said of a target found for a feed the site names on another host</extracomment>
        <translation> · Feed einer anderen Website</translation>
    </message>
    <message>
        <source>Reading %1…</source>
        <translation>Lese %1…</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Angehalten.</translation>
    </message>
    <message>
        <source>Found for %1:</source>
        <extracomment>%1 is the site&apos;s address, where its home page ended</extracomment>
        <translation>Gefunden für %1:</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <extracomment>Stops reading the site</extracomment>
        <translation>An&amp;halten</translation>
    </message>
</context>
<context>
    <name>CStarterButton</name>
    <message>
        <source>Add &amp;well-known services</source>
        <translation>Be&amp;kannte Dienste hinzufügen</translation>
    </message>
    <message>
        <source>Adds a WebSub hub, XML-RPC ping services and IndexNow, for your own site&apos;s address and key to be put in</source>
        <translation>Fügt einen WebSub-Hub, XML-RPC-Ping-Dienste und IndexNow hinzu, in die Sie die Adresse und den Schlüssel Ihrer eigenen Website eintragen</translation>
    </message>
</context>
<context>
    <name>CSubmitCommand</name>
    <message>
        <source>--submit-all [FILE] [--dry-run] [--no-notify] [--format=text|json|csv]</source>
        <translation>--submit-all [DATEI] [--dry-run] [--no-notify] [--format=text|json|csv]</translation>
    </message>
    <message>
        <source>--submit-all: 0 when every target succeeded, had nothing to post, or there was
none, 1 when one failed (or would fail, with --dry-run) or what was sent could
not be recorded, 2 when the list could not be read, 75 when another run posted
the list for 10 minutes, and 128 plus the signal&apos;s number when SIGHUP (129),
SIGINT (130), SIGQUIT (131) or SIGTERM (143) stopped the run.
</source>
        <translation>--submit-all: 0, wenn jedes Ziel erfolgreich war, nichts zu senden hatte oder es
keines gab, 1, wenn eines fehlschlug (mit --dry-run: fehlschlagen würde) oder
nicht aufgezeichnet werden konnte, was gesendet wurde, 2, wenn die Liste nicht
gelesen werden konnte, 75, wenn ein anderer Lauf die Liste 10 Minuten lang
gesendet hat, und 128 plus die Nummer des Signals, wenn SIGHUP (129),
SIGINT (130), SIGQUIT (131) oder SIGTERM (143) den Lauf angehalten hat.
</translation>
    </message>
    <message>
        <source>  --submit-all [FILE]     post every target of FILE, or of the list the window
                          would load, print each result and a summary, and exit
  --dry-run               with --submit-all: read the sources and check the key
                          files as a run would, and print what would be posted
                          (content_type, request_body) and, as text, each
                          address it would announce or leave out, with why;
                          nothing is posted
  --no-notify             with --submit-all: no desktop notification when a
                          target keeps failing or works again
</source>
        <translation>  --submit-all [DATEI]    jedes Ziel aus DATEI oder aus der Liste, die das
                          Fenster laden würde, senden, jedes Ergebnis und eine
                          Zusammenfassung ausgeben und sich beenden
  --dry-run               mit --submit-all: die Quellen lesen und die
                          Schlüsseldateien prüfen wie ein Lauf und ausgeben, was
                          gesendet würde (content_type, request_body) und, als
                          Text, jede Adresse, die gemeldet oder ausgelassen
                          würde, mit Grund; es wird nichts gesendet
  --no-notify             mit --submit-all: keine Desktop-Benachrichtigung, wenn
                          ein Ziel immer wieder fehlschlägt oder wieder geht
</translation>
    </message>
</context>
<context>
    <name>CTargetList</name>
    <message>
        <source>Submit Url</source>
        <extracomment>Heading of the column of the targets&apos; addresses</extracomment>
        <translation>Ziel-URL</translation>
    </message>
    <message>
        <source>Result</source>
        <extracomment>Heading of the column of what each target&apos;s last post came to</extracomment>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Kind</source>
        <extracomment>Heading of the column of how each target&apos;s parameters are posted</extracomment>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Changes from</source>
        <extracomment>Heading of the column of the sitemap or feed each target posts the site&apos;s changes from</extracomment>
        <translation>Änderungen aus</translation>
    </message>
    <message>
        <source>%1
Never succeeded</source>
        <extracomment>A target&apos;s tooltip, after its address: the record of posts holds no success of it</extracomment>
        <translation>%1
Nie erfolgreich</translation>
    </message>
    <message>
        <source>%1
Last success: %2</source>
        <extracomment>A target&apos;s tooltip, after its address: when it last succeeded, as &quot;8 Dec 2026 14:02&quot;</extracomment>
        <translation>%1
Zuletzt erfolgreich: %2</translation>
    </message>
</context>
<context>
    <name>Quillpost</name>
    <message>
        <source>IndexNow needs a “%1” parameter</source>
        <translation>IndexNow braucht einen Parameter „%1“</translation>
    </message>
    <message>
        <source>The IndexNow key must be 8 to 128 letters, digits or hyphens</source>
        <translation>Der IndexNow-Schlüssel muss aus 8 bis 128 Buchstaben, Ziffern oder Bindestrichen bestehen</translation>
    </message>
    <message>
        <source>%1 is not on the host %2</source>
        <translation>%1 liegt nicht auf dem Host %2</translation>
    </message>
    <message>
        <source>key not yet verified</source>
        <extracomment>What IndexNow&apos;s status 202 means; shown after the status: &quot;202 Accepted · ...&quot;</extracomment>
        <translation>Schlüssel noch nicht bestätigt</translation>
    </message>
    <message>
        <source>bad format</source>
        <extracomment>What IndexNow&apos;s status 400 means: the request was malformed</extracomment>
        <translation>ungültiges Format</translation>
    </message>
    <message>
        <source>key not valid (key file missing, or the key not in it)</source>
        <translation>Schlüssel ungültig (Schlüsseldatei fehlt oder enthält den Schlüssel nicht)</translation>
    </message>
    <message>
        <source>addresses not on the host, or key not matching</source>
        <translation>Adressen nicht auf dem Host, oder Schlüssel passt nicht</translation>
    </message>
    <message>
        <source>too many requests</source>
        <translation>zu viele Anfragen</translation>
    </message>
    <message>
        <source>“%1” cannot be sent in a JSON body: it is not UTF-8 text</source>
        <translation>„%1“ kann nicht in einem JSON-Inhalt gesendet werden: Es ist kein UTF-8-Text</translation>
    </message>
    <message>
        <source>“%1” is given more than once, which a JSON body cannot hold</source>
        <translation>„%1“ ist mehrfach angegeben, was ein JSON-Inhalt nicht abbilden kann</translation>
    </message>
    <message>
        <source>Replace “%1” in the parameter “%2” with your own</source>
        <translation>Ersetzen Sie „%1“ im Parameter „%2“ durch Ihren eigenen Wert</translation>
    </message>
    <message>
        <source>Unknown body kind “%1”</source>
        <translation>Unbekannter Inhaltstyp „%1“</translation>
    </message>
    <message>
        <source>Answer larger than %1</source>
        <translation>Antwort größer als %1</translation>
    </message>
    <message>
        <source>again in %1 s</source>
        <extracomment>A post the service asked to repeat later: &quot;429 Too Many Requests · again in 30 s&quot;</extracomment>
        <translation>erneut in %1 s</translation>
    </message>
    <message>
        <source>Stopped</source>
        <extracomment>The outcome of a post the user stopped</extracomment>
        <translation>Gestoppt</translation>
    </message>
    <message>
        <source>Server name not found</source>
        <translation>Servername nicht gefunden</translation>
    </message>
    <message>
        <source>Proxy name not found</source>
        <translation>Proxyname nicht gefunden</translation>
    </message>
    <message>
        <source>Connection refused</source>
        <translation>Verbindung abgelehnt</translation>
    </message>
    <message>
        <source>Could not connect</source>
        <translation>Keine Verbindung möglich</translation>
    </message>
    <message>
        <source>No TLS handshake within %1</source>
        <translation>Kein TLS-Handshake innerhalb von %1</translation>
    </message>
    <message>
        <source>No connection within %1</source>
        <translation>Keine Verbindung innerhalb von %1</translation>
    </message>
    <message>
        <source>No answer within %1</source>
        <translation>Keine Antwort innerhalb von %1</translation>
    </message>
    <message>
        <source>Too many redirects</source>
        <translation>Zu viele Weiterleitungen</translation>
    </message>
    <message>
        <source>Certificate not trusted</source>
        <translation>Zertifikat nicht vertrauenswürdig</translation>
    </message>
    <message>
        <source>Secure connection failed</source>
        <translation>Sichere Verbindung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Empty answer</source>
        <translation>Leere Antwort</translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>Verbindung unterbrochen</translation>
    </message>
    <message>
        <source>Not a usable address</source>
        <translation>Keine verwendbare Adresse</translation>
    </message>
    <message>
        <source>Not a web address</source>
        <translation>Keine Webadresse</translation>
    </message>
    <message>
        <source>Not an HTTP answer</source>
        <translation>Keine HTTP-Antwort</translation>
    </message>
    <message>
        <source>Not an XML-RPC answer</source>
        <translation>Keine XML-RPC-Antwort</translation>
    </message>
    <message>
        <source>Fault %1: %2</source>
        <translation>Fehler %1: %2</translation>
    </message>
    <message>
        <source>The service reported an error</source>
        <translation>Der Dienst hat einen Fehler gemeldet</translation>
    </message>
    <message>
        <source>“%1” is not an XML-RPC method name: it may only hold letters, digits and _ . : /</source>
        <translation>„%1“ ist kein XML-RPC-Methodenname: Er darf nur Buchstaben, Ziffern und _ . : / enthalten</translation>
    </message>
    <message>
        <source>The value of “%1” cannot be sent in an XML-RPC call</source>
        <translation>Der Wert von „%1“ kann nicht in einem XML-RPC-Aufruf gesendet werden</translation>
    </message>
    <message>
        <source>No thread to post from</source>
        <translation>Kein Thread zum Senden verfügbar</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Nicht genügend Arbeitsspeicher</translation>
    </message>
    <message>
        <source>No server name in the address</source>
        <translation>Kein Servername in der Adresse</translation>
    </message>
    <message>
        <source>Not a usable address (%1)</source>
        <extracomment>%1 is libcurl&apos;s own reason, in English</extracomment>
        <translation>Keine verwendbare Adresse (%1)</translation>
    </message>
    <message>
        <source>No address</source>
        <extracomment>A target whose URL is empty</extracomment>
        <translation>Keine Adresse</translation>
    </message>
    <message>
        <source>The IndexNow “host” parameter is empty</source>
        <translation>Der IndexNow-Parameter „host“ ist leer</translation>
    </message>
    <message>
        <source>Fault %1</source>
        <extracomment>An XML-RPC fault without a text: &quot;Fault 4&quot;</extracomment>
        <translation>Fehler %1</translation>
    </message>
    <message>
        <source>The history file %1 cannot be opened: %2</source>
        <extracomment>%2 is why, in the words of SQLite or of the file system</extracomment>
        <translation>Die Verlaufsdatei %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>The history file %1 cannot be read: %2</source>
        <extracomment>%2 is why, in the words of SQLite or of the file system</extracomment>
        <translation>Die Verlaufsdatei %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The history file %1 cannot be written: %2</source>
        <extracomment>%2 is why, in the words of SQLite or of the file system</extracomment>
        <translation>Die Verlaufsdatei %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The folder %1 could not be made: %2</source>
        <extracomment>The folder that holds the history file; %2 is why, in the words of the file system</extracomment>
        <translation>Der Ordner %1 konnte nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The damaged history file %1 could not be moved aside: %2</source>
        <extracomment>A history file SQLite found damaged, to be renamed so that a new one can be started; %2 is why, in the words of the file system</extracomment>
        <translation>Die beschädigte Verlaufsdatei %1 konnte nicht beiseitegelegt werden: %2</translation>
    </message>
    <message>
        <source>The history file %1 is not a regular file</source>
        <translation>Die Verlaufsdatei %1 ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>The history file %1 was written by a newer Quillpost</source>
        <translation>Die Verlaufsdatei %1 wurde von einer neueren Quillpost-Version geschrieben</translation>
    </message>
    <message>
        <source>No history file is open</source>
        <translation>Es ist keine Verlaufsdatei geöffnet</translation>
    </message>
    <message>
        <source>HOME is not set</source>
        <translation>HOME ist nicht gesetzt</translation>
    </message>
    <message>
        <source>HOME (%1) is not an absolute path</source>
        <translation>HOME (%1) ist kein absoluter Pfad</translation>
    </message>
    <message>
        <source>XDG_STATE_HOME (%1) is not an absolute path, and HOME is not set</source>
        <translation>XDG_STATE_HOME (%1) ist kein absoluter Pfad, und HOME ist nicht gesetzt</translation>
    </message>
    <message>
        <source>IndexNow host “%1” is not a host name</source>
        <translation>IndexNow-Host „%1“ ist kein Hostname</translation>
    </message>
    <message>
        <source>keyLocation %1 is not an http or https address</source>
        <translation>keyLocation %1 ist keine http- oder https-Adresse</translation>
    </message>
    <message>
        <source>keyLocation %1 is not on the host %2</source>
        <translation>keyLocation %1 liegt nicht auf dem Host %2</translation>
    </message>
    <message>
        <source>Key file %1 moved to %2</source>
        <translation>Schlüsseldatei %1 wurde nach %2 verschoben</translation>
    </message>
    <message>
        <source>Key file %1 moved: %2</source>
        <extracomment>A key file&apos;s redirect that says not where: &quot;Key file … moved: 304 Not Modified&quot;</extracomment>
        <translation>Schlüsseldatei %1 wurde verschoben: %2</translation>
    </message>
    <message>
        <source>Key file %1 not found: %2</source>
        <extracomment>&quot;Key file https://www.example.com/k.txt not found: 404 Not Found&quot;</extracomment>
        <translation>Schlüsseldatei %1 nicht gefunden: %2</translation>
    </message>
    <message>
        <source>Key file %1 starts with a byte-order mark</source>
        <translation>Schlüsseldatei %1 beginnt mit einer Byte-Order-Markierung</translation>
    </message>
    <message>
        <source>Key file %1 is a web page, not the key</source>
        <translation>Schlüsseldatei %1 ist eine Webseite, nicht der Schlüssel</translation>
    </message>
    <message>
        <source>Key file %1 holds something else: “%2”</source>
        <translation>Schlüsseldatei %1 enthält etwas anderes: „%2“</translation>
    </message>
    <message>
        <source>Replace “%1” in “Changes from” with your own</source>
        <translation>Ersetzen Sie „%1“ in „Änderungen aus“ durch Ihre eigene Adresse</translation>
    </message>
    <message>
        <source>Key file is served as %1, not text/plain</source>
        <translation>Schlüsseldatei wird als %1 ausgeliefert, nicht als text/plain</translation>
    </message>
    <message>
        <source>XDG_STATE_HOME (%1) is not an absolute path, and HOME (%2) is not an absolute path</source>
        <translation>XDG_STATE_HOME (%1) ist kein absoluter Pfad, und HOME (%2) ist kein absoluter Pfad</translation>
    </message>
    <message>
        <source>Not a sitemap or feed: an HTML page</source>
        <translation>Keine Sitemap und kein Feed: eine HTML-Seite</translation>
    </message>
    <message>
        <source>Not a sitemap or feed: it declares a document type</source>
        <translation>Keine Sitemap und kein Feed: deklariert einen Dokumenttyp</translation>
    </message>
    <message>
        <source>Sitemap not read: out of memory</source>
        <translation>Sitemap nicht gelesen: nicht genügend Arbeitsspeicher</translation>
    </message>
    <message>
        <source>Sitemap not read: broken gzip data</source>
        <translation>Sitemap nicht gelesen: fehlerhafte gzip-Daten</translation>
    </message>
    <message>
        <source>Not a sitemap or feed: not XML</source>
        <translation>Keine Sitemap und kein Feed: kein XML</translation>
    </message>
    <message>
        <source>Sitemap not read: XML error at line %1 (%2)</source>
        <translation>Sitemap nicht gelesen: XML-Fehler in Zeile %1 (%2)</translation>
    </message>
    <message>
        <source>Not a sitemap or feed: a document of type %1</source>
        <translation>Keine Sitemap und kein Feed: ein Dokument vom Typ %1</translation>
    </message>
    <message>
        <source>Sitemap not read: %1</source>
        <translation>Sitemap nicht gelesen: %1</translation>
    </message>
    <message>
        <source>robots.txt not read: %1</source>
        <translation>robots.txt nicht gelesen: %1</translation>
    </message>
    <message>
        <source>robots.txt names no sitemap</source>
        <translation>robots.txt nennt keine Sitemap</translation>
    </message>
    <message>
        <source>Only the first 200,000 addresses of %1 were read</source>
        <translation>Nur die ersten 200.000 Adressen von %1 wurden gelesen</translation>
    </message>
    <message>
        <source>Only the first 50,000 addresses of %1 were read</source>
        <translation>Nur die ersten 50.000 Adressen von %1 wurden gelesen</translation>
    </message>
    <message>
        <source>Only the first 50 MB of %1 were read</source>
        <translation>Nur die ersten 50 MB von %1 wurden gelesen</translation>
    </message>
    <message>
        <source>Only 3 levels of sitemap indexes were read</source>
        <translation>Nur 3 Ebenen von Sitemap-Indizes wurden gelesen</translation>
    </message>
    <message>
        <source>Checking %1</source>
        <extracomment>While the key file of an IndexNow target is fetched before its post</extracomment>
        <translation>Prüfe %1</translation>
    </message>
    <message>
        <source>Reading %1</source>
        <extracomment>While a site&apos;s sitemap or feed is read before its targets are posted</extracomment>
        <translation>Lese %1</translation>
    </message>
    <message>
        <source>The history file was damaged: it was kept as %1 and a new one started</source>
        <translation>Die Verlaufsdatei war beschädigt: Sie wurde als %1 aufbewahrt und eine neue angelegt</translation>
    </message>
    <message>
        <source>No record of what was sent: %1</source>
        <extracomment>Why a target that posts its site&apos;s changes is not posted</extracomment>
        <translation>Keine Aufzeichnung des Gesendeten: %1</translation>
    </message>
    <message>
        <source>key not valid (the key file checked fine at %1; the service may not have read it yet)</source>
        <extracomment>What IndexNow&apos;s 403 means after its key file was checked; %1 is when, as &quot;14:02&quot;</extracomment>
        <translation>Schlüssel ungültig (die Schlüsseldatei war um %1 in Ordnung; der Dienst hat sie vielleicht noch nicht gelesen)</translation>
    </message>
    <message>
        <source>Unchanged</source>
        <extracomment>The outcome of a target whose site had no changes to post since its last success</extracomment>
        <translation>Unverändert</translation>
    </message>
    <message>
        <source>Unchanged since %1</source>
        <extracomment>A target that posted nothing as its site had no changes since its last success, as &quot;8 Dec 2026 14:02&quot;</extracomment>
        <translation>Unverändert seit %1</translation>
    </message>
    <message>
        <source>%1 is a private address</source>
        <extracomment>Why a target is not posted: it would send a public service an address of a private host (localhost, .local, 10.0.0.1...)</extracomment>
        <translation>%1 ist eine private Adresse</translation>
    </message>
    <message>
        <source>“Changes from” is not a web address</source>
        <extracomment>Why a target is not posted: its &quot;Changes from&quot; field holds no web address</extracomment>
        <translation>„Änderungen aus“ ist keine Webadresse</translation>
    </message>
    <message>
        <source>Key file %1: %2</source>
        <translation>Schlüsseldatei %1: %2</translation>
    </message>
    <message>
        <source>Key file %1 is larger than 64 KiB</source>
        <translation>Schlüsseldatei %1 ist größer als 64 KiB</translation>
    </message>
    <message>
        <source>Fault</source>
        <extracomment>An XML-RPC fault with neither code nor text</extracomment>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Fault: %1</source>
        <extracomment>An XML-RPC fault without a code: &quot;Fault: Bad request&quot;</extracomment>
        <translation>Fehler: %1</translation>
    </message>
    <message>
        <source>The post log was not written: %1</source>
        <extracomment>After a run, when its posts could not be written to the post log</extracomment>
        <translation>Das Sendeprotokoll wurde nicht geschrieben: %1</translation>
    </message>
    <message>
        <source>Not recorded: %1 (these may be sent again next run)</source>
        <extracomment>After a run, when what was sent could not be written to the record</extracomment>
        <translation>Nicht aufgezeichnet: %1 (dies wird beim nächsten Lauf womöglich erneut gesendet)</translation>
    </message>
    <message numerus="yes">
        <source>Recorded %Ln addresses; changes from now on are posted</source>
        <extracomment>A target&apos;s first run, which records the addresses of its site and posts nothing</extracomment>
        <translation>
            <numerusform>%Ln Adresse aufgezeichnet; von jetzt an werden Änderungen gesendet</numerusform>
            <numerusform>%Ln Adressen aufgezeichnet; von jetzt an werden Änderungen gesendet</numerusform>
        </translation>
    </message>
    <message>
        <source>Only the first 1,000 files of %1 were read</source>
        <translation>Nur die ersten 1.000 Dateien von %1 wurden gelesen</translation>
    </message>
    <message>
        <source>Reading %1 stopped after 10 minutes</source>
        <translation>Das Lesen von %1 wurde nach 10 Minuten beendet</translation>
    </message>
    <message>
        <source>Only the first 512 KB of %1 were read</source>
        <translation>Nur die ersten 512 KB von %1 wurden gelesen</translation>
    </message>
    <message>
        <source>Only the first 64 MB of addresses of %1 were read</source>
        <translation>Nur die ersten 64 MB an Adressen von %1 wurden gelesen</translation>
    </message>
    <message>
        <source>Only the first 100 MB of %1 were read</source>
        <translation>Nur die ersten 100 MB von %1 wurden gelesen</translation>
    </message>
    <message>
        <source>%1 was read only up to a tag or comment longer than 1 MB</source>
        <translation>%1 wurde nur bis zu einem Tag oder Kommentar über 1 MB gelesen</translation>
    </message>
    <message>
        <source>Addresses longer than 2,048 characters in %1 were left out</source>
        <translation>Adressen über 2.048 Zeichen in %1 wurden ausgelassen</translation>
    </message>
    <message>
        <source>could not check: %1</source>
        <extracomment>A page not announced, as it gave no answer to judge: &quot;could not check: 503 Service Unavailable&quot;</extracomment>
        <translation>nicht prüfbar: %1</translation>
    </message>
    <message>
        <source>robots.txt disallows</source>
        <translation>von robots.txt ausgeschlossen</translation>
    </message>
    <message>
        <source>moved to %1</source>
        <extracomment>A page not announced, as it redirects: &quot;moved to https://example.com/new&quot;</extracomment>
        <translation>verschoben nach %1</translation>
    </message>
    <message>
        <source>not found</source>
        <extracomment>A page not announced, as it answers 404 or 410</extracomment>
        <translation>nicht gefunden</translation>
    </message>
    <message>
        <source>noindex</source>
        <extracomment>A page not announced, as it asks search engines to leave it out of their index</extracomment>
        <translation>noindex</translation>
    </message>
    <message>
        <source>canonical is %1</source>
        <extracomment>A page not announced, as it names another page as the one to index</extracomment>
        <translation>kanonische Adresse ist %1</translation>
    </message>
    <message>
        <source>Waiting</source>
        <extracomment>The outcome of a post not decided yet, in the History window</extracomment>
        <translation>Wartet</translation>
    </message>
    <message>
        <source>waiting</source>
        <extracomment>The outcome of a post at the start of a line of the command line&apos;s output</extracomment>
        <translation>wartet</translation>
    </message>
    <message>
        <source>Succeeded</source>
        <extracomment>The outcome of a post, in the History window</extracomment>
        <translation>Erfolgreich</translation>
    </message>
    <message>
        <source>succeeded</source>
        <extracomment>The outcome of a post at the start of a line of the command line&apos;s output</extracomment>
        <translation>erfolgreich</translation>
    </message>
    <message>
        <source>Failed</source>
        <extracomment>The outcome of a post, in the History window</extracomment>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>failed</source>
        <extracomment>The outcome of a post at the start of a line of the command line&apos;s output</extracomment>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>Not posted</source>
        <extracomment>The outcome of a target that could not be posted as it stands</extracomment>
        <translation>Nicht gesendet</translation>
    </message>
    <message>
        <source>not posted</source>
        <extracomment>The outcome of a post at the start of a line of the command line&apos;s output</extracomment>
        <translation>nicht gesendet</translation>
    </message>
    <message>
        <source>stopped</source>
        <extracomment>The outcome of a post at the start of a line of the command line&apos;s output</extracomment>
        <translation>gestoppt</translation>
    </message>
    <message>
        <source>unchanged</source>
        <extracomment>The outcome of a post at the start of a line of the command line&apos;s output</extracomment>
        <translation>unverändert</translation>
    </message>
    <message>
        <source>Baseline recorded</source>
        <extracomment>The outcome of a target&apos;s first run, which records what its site holds and posts nothing</extracomment>
        <translation>Ausgangsstand erfasst</translation>
    </message>
    <message>
        <source>baseline</source>
        <extracomment>The outcome at the start of a line of the command line&apos;s output of a target&apos;s first run, which only recorded its site&apos;s addresses</extracomment>
        <translation>Ausgangsstand</translation>
    </message>
    <message>
        <source>Would post</source>
        <extracomment>A dry run&apos;s post that would go; nothing was sent</extracomment>
        <translation>Würde senden</translation>
    </message>
    <message>
        <source>Jan</source>
        <translation>Jan.</translation>
    </message>
    <message>
        <source>Feb</source>
        <translation>Feb.</translation>
    </message>
    <message>
        <source>Mar</source>
        <translation>März</translation>
    </message>
    <message>
        <source>Apr</source>
        <translation>Apr.</translation>
    </message>
    <message>
        <source>May</source>
        <extracomment>The short name of the month of May, in a time: &quot;8 May 2026 14:02&quot;</extracomment>
        <translation>Mai</translation>
    </message>
    <message>
        <source>Jun</source>
        <translation>Juni</translation>
    </message>
    <message>
        <source>Jul</source>
        <translation>Juli</translation>
    </message>
    <message>
        <source>Aug</source>
        <translation>Aug.</translation>
    </message>
    <message>
        <source>Sep</source>
        <translation>Sept.</translation>
    </message>
    <message>
        <source>Oct</source>
        <translation>Okt.</translation>
    </message>
    <message>
        <source>Nov</source>
        <translation>Nov.</translation>
    </message>
    <message>
        <source>Dec</source>
        <translation>Dez.</translation>
    </message>
    <message>
        <source>%1 %2 %3 %4</source>
        <extracomment>A time: %1 the day of the month, %2 the month&apos;s short name, %3 the year, %4 the hour and minute: &quot;8 Dec 2026 14:02&quot;</extracomment>
        <translation>%1. %2 %3 %4</translation>
    </message>
    <message>
        <source>Only the first %1 KiB of %2 were read</source>
        <translation>Nur die ersten %1 KiB von %2 wurden gelesen</translation>
    </message>
    <message>
        <source>%1 not read: %2</source>
        <translation>%1 nicht gelesen: %2</translation>
    </message>
    <message>
        <source>%1 is not a site&apos;s address</source>
        <translation>%1 ist keine Adresse einer Website</translation>
    </message>
    <message>
        <source>%1 holds a user name or password, which services would publish</source>
        <translation>%1 enthält einen Benutzernamen oder ein Passwort, das Dienste veröffentlichen würden</translation>
    </message>
    <message>
        <source>%1 is a private site: no search engine or public service can reach it</source>
        <translation>%1 ist eine private Website: keine Suchmaschine und kein öffentlicher Dienst kann sie erreichen</translation>
    </message>
    <message>
        <source>%1 gave no answer over https: http is used</source>
        <translation>%1 hat über https nicht geantwortet: http wird verwendet</translation>
    </message>
    <message>
        <source>%1 offers no sitemap or feed</source>
        <translation>%1 bietet weder Sitemap noch Feed</translation>
    </message>
    <message>
        <source>%1 moved to %2</source>
        <translation>%1 ist umgezogen nach %2</translation>
    </message>
    <message>
        <source>JSON Feed %1 is not used: no service reads one</source>
        <translation>JSON-Feed %1 wird nicht verwendet: kein Dienst liest ihn</translation>
    </message>
    <message>
        <source>%1 is not an RSS or Atom feed</source>
        <translation>%1 ist kein RSS- oder Atom-Feed</translation>
    </message>
    <message>
        <source>%1 of %2 checked; the rest next run</source>
        <extracomment>Of a target&apos;s pages to check before they are announced, as &quot;2,000 of 5,312 addresses checked; the rest next run&quot;</extracomment>
        <translation>%1 von %2 geprüft; der Rest im nächsten Lauf</translation>
    </message>
    <message numerus="yes">
        <source>%Ln</source>
        <translation>
            <numerusform>%Ln</numerusform>
            <numerusform>%Ln</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln addresses</source>
        <translation>
            <numerusform>%Ln Adresse</numerusform>
            <numerusform>%Ln Adressen</numerusform>
        </translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation>%1; %2</translation>
    </message>
    <message>
        <source>the site may refuse programs: turn off Check pages for this target</source>
        <extracomment>When every page check of a target was answered 403 Forbidden</extracomment>
        <translation>die Website weist Programme womöglich ab: Seiten prüfen für dieses Ziel ausschalten</translation>
    </message>
    <message numerus="yes">
        <source>Nothing to announce: %Ln left out</source>
        <extracomment>A target that posted nothing as the page checks left out every address it would have announced</extracomment>
        <translation>
            <numerusform>Nichts zu melden: %Ln ausgelassen</numerusform>
            <numerusform>Nichts zu melden: %Ln ausgelassen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>QuillpostBrowser</name>
    <message>
        <source>the browser engine cannot use its sandbox when run as root: run Quillpost as a normal user, or set QTWEBENGINE_DISABLE_SANDBOX=1 to accept the risk of pages running without it</source>
        <translation>die Browser-Engine kann ihre Sandbox nicht nutzen, wenn sie als root läuft: Starten Sie Quillpost als normaler Benutzer, oder setzen Sie QTWEBENGINE_DISABLE_SANDBOX=1, um Seiten ohne Sandbox auf eigenes Risiko zuzulassen</translation>
    </message>
    <message>
        <source>the window process was stopped by signal %1 (%2) before its window was shown</source>
        <extracomment>%1 is the signal&apos;s number, %2 its name as the system gives it</extracomment>
        <translation>der Fensterprozess wurde durch Signal %1 (%2) beendet, bevor sein Fenster angezeigt wurde</translation>
    </message>
    <message>
        <source>the window process ended with status %1 before its window was shown</source>
        <translation>der Fensterprozess wurde mit Status %1 beendet, bevor sein Fenster angezeigt wurde</translation>
    </message>
    <message>
        <source>cannot make a pipe</source>
        <translation>Pipe kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>cannot start the window process</source>
        <translation>Fensterprozess kann nicht gestartet werden</translation>
    </message>
    <message>
        <source>the address cannot be posted: %1</source>
        <extracomment>%1 is why, in English</extracomment>
        <translation>an die Adresse kann nicht gesendet werden: %1</translation>
    </message>
</context>
<context>
    <name>QuillpostDlg</name>
    <message>
        <source>Quillpost Pro banner</source>
        <translation>Banner für Quillpost Pro</translation>
    </message>
    <message>
        <source>New in Quillpost Pro 2.0: hundreds of services, one click, on your schedule. A click opens the Quillpost Pro page.</source>
        <translation>Neu in Quillpost Pro 2.0: Hunderte Dienste, ein Klick, nach Ihrem Zeitplan. Ein Klick öffnet die Seite von Quillpost Pro.</translation>
    </message>
    <message>
        <source>Quillpost Pro sends your site to hundreds of ping and search services in one click.</source>
        <translation>Quillpost Pro sendet Ihre Website mit einem Klick an Hunderte Ping- und Suchdienste.</translation>
    </message>
    <message>
        <source>D&amp;ownload Now!</source>
        <translation>&amp;Jetzt herunterladen!</translation>
    </message>
    <message>
        <source>Submit Url List</source>
        <translation>Liste der Ziel-URLs</translation>
    </message>
    <message>
        <source>&amp;Url:</source>
        <extracomment>Label of the field that holds a target&apos;s address</extracomment>
        <translation>&amp;URL:</translation>
    </message>
    <message>
        <source>&amp;Kind:</source>
        <extracomment>Label of the chooser of how a target&apos;s parameters are posted: as a form, an XML-RPC call or JSON</extracomment>
        <translation>&amp;Typ:</translation>
    </message>
    <message>
        <source>Body kind</source>
        <extracomment>How a target&apos;s parameters are posted: as a form, an XML-RPC call or JSON</extracomment>
        <translation>Inhaltstyp</translation>
    </message>
    <message>
        <source>How the target&apos;s parameters are posted: as a form, an XML-RPC call or JSON</source>
        <translation>Wie die Parameter des Ziels gesendet werden: als Formular, als XML-RPC-Aufruf oder als JSON</translation>
    </message>
    <message>
        <source>Add target</source>
        <translation>Ziel hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <extracomment>Adds the address in the Url field as a new target</extracomment>
        <translation>Hin&amp;zufügen</translation>
    </message>
    <message>
        <source>Edit target</source>
        <translation>Ziel bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <extracomment>Gives the selected target the address in the Url field</extracomment>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Delete target</source>
        <translation>Ziel löschen</translation>
    </message>
    <message>
        <source>Dele&amp;te</source>
        <extracomment>Deletes the selected target</extracomment>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Submit</source>
        <extracomment>Posts the selected target in a browser window</extracomment>
        <translation>&amp;Senden</translation>
    </message>
    <message>
        <source>Su&amp;bmit All</source>
        <extracomment>Posts every target in the background</extracomment>
        <translation>All&amp;e senden</translation>
    </message>
    <message>
        <source>Submit targets</source>
        <translation>Sendeziele</translation>
    </message>
    <message>
        <source>POST Parameters List</source>
        <translation>Liste der POST-Parameter</translation>
    </message>
    <message>
        <source>Param &amp;name:</source>
        <translation>Parameter&amp;name:</translation>
    </message>
    <message>
        <source>Param &amp;value:</source>
        <translation>Parameter&amp;wert:</translation>
    </message>
    <message>
        <source>Add parameter</source>
        <translation>Parameter hinzufügen</translation>
    </message>
    <message>
        <source>A&amp;dd</source>
        <extracomment>Adds the name and value in the fields as a parameter of the selected target</extracomment>
        <translation>Hinzufü&amp;gen</translation>
    </message>
    <message>
        <source>Edit parameter</source>
        <translation>Parameter bearbeiten</translation>
    </message>
    <message>
        <source>Ed&amp;it</source>
        <extracomment>Gives the selected parameter the name and value in the fields</extracomment>
        <translation>Bearbe&amp;iten</translation>
    </message>
    <message>
        <source>Delete parameter</source>
        <translation>Parameter löschen</translation>
    </message>
    <message>
        <source>De&amp;lete</source>
        <extracomment>Deletes the selected parameter</extracomment>
        <translation>Lös&amp;chen</translation>
    </message>
    <message>
        <source>Delete all parameters</source>
        <translation>Alle Parameter löschen</translation>
    </message>
    <message>
        <source>Delete All</source>
        <extracomment>Deletes every parameter of the selected target; has no mnemonic on purpose</extracomment>
        <translation>Alle löschen</translation>
    </message>
    <message>
        <source>POST parameters</source>
        <translation>POST-Parameter</translation>
    </message>
    <message>
        <source>Run status</source>
        <extracomment>Name a screen reader gives the status line of a run while it shows nothing</extracomment>
        <translation>Status des Laufs</translation>
    </message>
    <message>
        <source>Submit Failed A&amp;gain</source>
        <extracomment>Posts the targets that failed once more</extracomment>
        <translation>&amp;Fehlgeschlagene erneut senden</translation>
    </message>
    <message>
        <source>Sto&amp;p</source>
        <extracomment>Stops the run that posts the targets</extracomment>
        <translation>Sto&amp;pp</translation>
    </message>
    <message>
        <source>&amp;Load Data...</source>
        <translation>Daten &amp;laden...</translation>
    </message>
    <message>
        <source>Load Data</source>
        <translation>Daten laden</translation>
    </message>
    <message>
        <source>&amp;Save Data...</source>
        <translation>Daten &amp;speichern...</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>Daten speichern</translation>
    </message>
    <message>
        <source>Save &amp;Results...</source>
        <translation>Er&amp;gebnisse speichern...</translation>
    </message>
    <message>
        <source>&amp;About Quillpost...</source>
        <translation>Ü&amp;ber Quillpost...</translation>
    </message>
    <message>
        <source>&amp;Changes from:</source>
        <extracomment>Label of the field that holds the sitemap or feed a target posts the site&apos;s changes from</extracomment>
        <translation>Ände&amp;rungen aus:</translation>
    </message>
    <message>
        <source>Changes from</source>
        <extracomment>The field that holds the sitemap or feed a target posts the site&apos;s changes from</extracomment>
        <translation>Änderungen aus</translation>
    </message>
    <message>
        <source>The address of the site&apos;s sitemap or feed: the target posts what changed on the site since it last posted with success. Empty for none.</source>
        <translation>Die Adresse der Sitemap oder des Feeds der Website: Das Ziel sendet, was sich auf der Website seit seinem letzten erfolgreichen Senden geändert hat. Leer für keine.</translation>
    </message>
    <message>
        <source>&amp;History...</source>
        <extracomment>Opens the window that lists the posts made</extracomment>
        <translation>&amp;Verlauf...</translation>
    </message>
    <message>
        <source>&amp;IndexNow Key...</source>
        <extracomment>Opens the window that makes, saves and checks the selected IndexNow target&apos;s key</extracomment>
        <translation>&amp;IndexNow-Schlüssel...</translation>
    </message>
    <message>
        <source>Pre&amp;view...</source>
        <extracomment>Opens a window showing what Submit All would post now, posting nothing</extracomment>
        <translation>V&amp;orschau...</translation>
    </message>
    <message>
        <source>Run progress</source>
        <extracomment>Name a screen reader gives the bar that shows how far a run is</extracomment>
        <translation>Fortschritt des Laufs</translation>
    </message>
    <message>
        <source>Set &amp;Up Site...</source>
        <extracomment>Opens the window that finds a site&apos;s sitemaps, feeds and hubs and adds the targets that announce it</extracomment>
        <translation>Website ein&amp;richten...</translation>
    </message>
    <message>
        <source>Check pages</source>
        <extracomment>Whether the pages a target announces are fetched and checked before they are sent
----------
Beside Changes from: the pages a target announces are fetched and checked first</extracomment>
        <translation>Seiten prüfen</translation>
    </message>
    <message>
        <source>Each page is fetched before it is announced, and left out when it is missing, moved, marked noindex, has another canonical address or robots.txt disallows it. Off for a site that refuses programs.</source>
        <translation>Jede Seite wird vor der Meldung abgerufen und ausgelassen, wenn sie fehlt, umgezogen ist, als noindex markiert ist, eine andere kanonische Adresse hat oder robots.txt sie sperrt. Aus für eine Website, die Programme abweist.</translation>
    </message>
</context>
</TS>
