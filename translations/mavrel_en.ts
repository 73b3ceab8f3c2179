<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>ChartImport</name>
    <message>
        <source>« %1 »</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>1 chanson n&apos;a pas été importée : %1.</source>
        <translation>1 song was not imported: %1.</translation>
    </message>
    <message>
        <source>%1 chansons n&apos;ont pas été importées : %2.</source>
        <translation>%1 songs were not imported: %2.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1 : format de sortie inconnu (%2 attendu).</source>
        <translation>%1: unknown output format (%2 expected).</translation>
    </message>
    <message>
        <source>1 grille</source>
        <translation>1 chart</translation>
    </message>
    <message>
        <source>%1 grilles</source>
        <translation>%1 charts</translation>
    </message>
    <message>
        <source>Mémoire insuffisante.</source>
        <translation>Not enough memory.</translation>
    </message>
    <message>
        <source>%1 donné deux fois.</source>
        <translation>%1 given twice.</translation>
    </message>
    <message>
        <source>%1 : valeur manquante.</source>
        <translation>%1: missing value.</translation>
    </message>
    <message>
        <source>%1 : « %2 » n&apos;est pas un nombre de %3 à %4.</source>
        <translation>%1: “%2” is not a number from %3 to %4.</translation>
    </message>
    <message>
        <source>--for : « %1 » n&apos;est pas un instrument (Bb, Eb ou F).</source>
        <translation>--for: “%1” is not an instrument (Bb, Eb or F).</translation>
    </message>
    <message>
        <source>Il manque -o SORTIE.</source>
        <translation>-o OUTPUT is missing.</translation>
    </message>
    <message>
        <source>Option inconnue : « %1 ».</source>
        <translation>Unknown option: “%1”.</translation>
    </message>
    <message>
        <source>Il manque %1.</source>
        <translation>%1 missing.</translation>
    </message>
    <message>
        <source>« %1 » en trop.</source>
        <translation>“%1” is one too many.</translation>
    </message>
    <message>
        <source>Il manque -s TAILLE.</source>
        <translation>-s SIZE is missing.</translation>
    </message>
    <message>
        <source>GRILLE.bab SORTIE.png</source>
        <translation>CHART.bab OUTPUT.png</translation>
    </message>
    <message>
        <source>LIENS</source>
        <translation>LINKS</translation>
    </message>
    <message>
        <source>GRILLE.bab</source>
        <translation>CHART.bab</translation>
    </message>
    <message>
        <source>--spelling : « %1 » n&apos;est pas keep, flats, sharps ou key.</source>
        <translation>--spelling: “%1” is not keep, flats, sharps or key.</translation>
    </message>
    <message>
        <source>DEMI-TONS GRILLE.bab</source>
        <translation>SEMITONES CHART.bab</translation>
    </message>
    <message>
        <source>« %1 » n&apos;est pas un nombre de demi-tons.</source>
        <translation>“%1” is not a number of semitones.</translation>
    </message>
    <message>
        <source>--per : « %1 » n&apos;est pas 1, 2, 4 ou 8.</source>
        <translation>--per: “%1” is not 1, 2, 4 or 8.</translation>
    </message>
    <message>
        <source>Il manque --per N.</source>
        <translation>--per N is missing.</translation>
    </message>
    <message>
        <source>  mavrel import LIENS -o DOSSIER [--force]     une grille par morceau d&apos;une liste iReal Pro
                                               (page HTML, texte ou lien irealb://)
</source>
        <translation>  mavrel import LINKS -o FOLDER [--force]      a chart for each song of an iReal Pro list
                                               (HTML page, text or irealb:// link)
</translation>
    </message>
    <message>
        <source>  mavrel --version                             affiche la version
</source>
        <translation>  mavrel --version                             prints the version
</translation>
    </message>
    <message>
        <source>Utilisation :
</source>
        <translation>Usage:
</translation>
    </message>
    <message>
        <source>  mavrel --help : toutes les commandes.
</source>
        <translation>  mavrel --help: every command.
</translation>
    </message>
    <message>
        <source>--style : « %1 » n&apos;est pas un style (swing, ballad, bossa, latin, pop, funk, waltz ou shuffle).</source>
        <translation>--style: “%1” is not a style (swing, ballad, bossa, latin, pop, funk, waltz or shuffle).</translation>
    </message>
    <message>
        <source>--soundfont : valeur manquante.</source>
        <translation>--soundfont: value missing.</translation>
    </message>
    <message>
        <source>Mesure %1 : %2</source>
        <translation>Bar %1: %2</translation>
    </message>
    <message>
        <source>  mavrel play GRILLE.bab [--style STYLE] [--tempo N] [--choruses N] [--soundfont FICHIER.sf2]
                                               joue l&apos;accompagnement, une ligne par mesure
</source>
        <translation>  mavrel play CHART.bab [--style STYLE] [--tempo N] [--choruses N] [--soundfont FILE.sf2]
                                               plays the band, a line for each bar
</translation>
    </message>
    <message>
        <source>--chord-style : « %1 » n&apos;est pas classic ou jazz.</source>
        <translation>--chord-style: “%1” is not classic or jazz.</translation>
    </message>
    <message>
        <source>  mavrel thumbnail -s TAILLE GRILLE.bab SORTIE.png [--chord-style classic|jazz]
                                               dessine la vignette d&apos;une grille (plus grand côté
                                               en pixels, de 1 à 4096)
</source>
        <translation>  mavrel thumbnail -s SIZE CHART.bab OUTPUT.png [--chord-style classic|jazz]
                                               draws the thumbnail of a chart (longer side
                                               in pixels, 1 to 4096)
</translation>
    </message>
    <message>
        <source>  --for Bb|Eb|F : la partie d&apos;un instrument en Si♭, Mi♭ ou Fa, transposée et marquée.
  --style STYLE : swing, ballad, bossa, latin, pop, funk, waltz ou shuffle ; --tempo : de 20 à 400
  noires par minute ; --choruses : de 1 à 99 fois la grille.
  --chord-style classic|jazz : les accords écrits en texte simple ou comme sur un
                 recueil de jazz, quel que soit le choix de la grille.
  -o - écrit sur la sortie standard (en PNG pour une image).
</source>
        <translation>  --for Bb|Eb|F: the part of a B♭, E♭ or F instrument, transposed and marked.
  --style STYLE: swing, ballad, bossa, latin, pop, funk, waltz or shuffle; --tempo: 20 to 400
  quarter notes a minute; --choruses: 1 to 99 times through the chart.
  --chord-style classic|jazz: chords written as plain text or as in a jazz
                 fake book, whatever the chart chose.
  -o - writes to standard output (as PNG for a picture).
</translation>
    </message>
    <message>
        <source>%1 : un fichier %2 ne contient qu&apos;une feuille, soit %3 au plus, et %4 sont données ; un fichier %5 en fait un recueil d&apos;autant de pages qu&apos;il faut.</source>
        <translation>%1: a %2 file holds one sheet, that is %3 at most, and %4 are given; a %5 file makes them a songbook of as many pages as it takes.</translation>
    </message>
    <message>
        <source>--style, --tempo, --choruses et --soundfont : seulement vers %1.</source>
        <translation>--style, --tempo, --choruses and --soundfont: only to %1.</translation>
    </message>
    <message>
        <source>  mavrel new -o %1
                                               écrit une grille neuve
</source>
        <translation>  mavrel new -o %1
                                               writes a new chart
</translation>
    </message>
    <message>
        <source>  mavrel render [GRILLE.bab] -o %1 [--dpi N] [--for Bb|Eb|F]
                [--chord-style classic|jazz]
                                               dessine la page d&apos;une grille (en PNG à N points
                                               par pouce, de 1 à 2400, 96 par défaut)
</source>
        <translation>  mavrel render [CHART.bab] -o %1 [--dpi N] [--for Bb|Eb|F]
                [--chord-style classic|jazz]
                                               draws the page of a chart (as PNG at N dots
                                               per inch, 1 to 2400, 96 unless asked)
</translation>
    </message>
    <message>
        <source>  mavrel transpose DEMI-TONS GRILLE.bab -o %1 [--spelling keep|flats|sharps|key]
                                               transpose une grille (altérations : gardées,
                                               bémols, dièses ou selon la tonalité)
</source>
        <translation>  mavrel transpose SEMITONES CHART.bab -o %1 [--spelling keep|flats|sharps|key]
                                               transposes a chart (accidentals: kept,
                                               flats, sharps or by the key)
</translation>
    </message>
    <message>
        <source>  mavrel sheet --per N [--for Bb|Eb|F] [--chord-style classic|jazz] GRILLE.bab... -o %1
                                               compose des feuilles de 1, 2, 4 ou 8 grilles :
                                               un recueil d&apos;autant de pages qu&apos;il faut en PDF,
                                               une seule feuille en PNG
</source>
        <translation>  mavrel sheet --per N [--for Bb|Eb|F] [--chord-style classic|jazz] CHART.bab... -o %1
                                               lays out sheets of 1, 2, 4 or 8 charts:
                                               a book of as many pages as needed in PDF,
                                               a single sheet in PNG
</translation>
    </message>
    <message>
        <source>  mavrel export GRILLE.bab -o %1
                [--style STYLE] [--tempo N] [--choruses N] [--soundfont FICHIER.sf2]
                                               %2 ; le style, le tempo, les fois et le son
                                               de l&apos;accompagnement en MIDI, WAV ou FLAC
</source>
        <translation>  mavrel export CHART.bab -o %1
                [--style STYLE] [--tempo N] [--choruses N] [--soundfont FILE.sf2]
                                               %2; the style, tempo, choruses and sound
                                               of the band in MIDI, WAV or FLAC
</translation>
    </message>
    <message>
        <source>SORTIE</source>
        <translation>OUTPUT</translation>
    </message>
    <message>
        <source>  mavrel song GRILLE.bab [-o SORTIE.bab] [--title T] [--composer C] [--style S] [--key Bb|Gm|none]
              [--tempo N] [--time 3/4|none] [--bar N &quot;[A] |: Dm7 G7&quot;]...
                                               sans -o, écrit le morceau et ses mesures telles
                                               qu&apos;on les tape ; avec, les change
</source>
        <translation>  mavrel song CHART.bab [-o OUTPUT.bab] [--title T] [--composer C] [--style S] [--key Bb|Gm|none]
              [--tempo N] [--time 3/4|none] [--bar N &quot;[A] |: Dm7 G7&quot;]...
                                               without -o, prints the song and its bars as they
                                               are typed; with it, changes them
</translation>
    </message>
    <message>
        <source>%1 : %2 octets au plus, sans caractère de contrôle.</source>
        <translation>%1: %2 bytes at most, with no control character.</translation>
    </message>
    <message>
        <source>--key : « %1 » n&apos;est pas une tonalité (C, Bb, F#m... ou none).</source>
        <translation>--key: “%1” is not a key (C, Bb, F#m... or none).</translation>
    </message>
    <message>
        <source>--tempo : « %1 » n&apos;est pas un nombre de 0 à %2.</source>
        <translation>--tempo: “%1” is not a number from 0 to %2.</translation>
    </message>
    <message>
        <source>--time : « %1 » n&apos;est pas un chiffrage (3/4, 6/8... ou none).</source>
        <translation>--time: “%1” is not a time signature (3/4, 6/8... or none).</translation>
    </message>
    <message>
        <source>Titre : %1</source>
        <translation>Title: %1</translation>
    </message>
    <message>
        <source>Compositeur : %1</source>
        <translation>Composer: %1</translation>
    </message>
    <message>
        <source>Style : %1</source>
        <translation>Style: %1</translation>
    </message>
    <message>
        <source>Tonalité : %1</source>
        <translation>Key: %1</translation>
    </message>
    <message>
        <source>Tonalité : non précisée (détectée : %1)</source>
        <translation>Key: not set (detected: %1)</translation>
    </message>
    <message>
        <source>Tonalité : non précisée</source>
        <translation>Key: not set</translation>
    </message>
    <message>
        <source>Tempo : %1</source>
        <translation>Tempo: %1</translation>
    </message>
    <message>
        <source>Tempo : non précisé</source>
        <translation>Tempo: not set</translation>
    </message>
    <message>
        <source>Chiffrage : non précisé (4/4)</source>
        <translation>Time signature: not set (4/4)</translation>
    </message>
    <message>
        <source>Chiffrage : %1/%2</source>
        <translation>Time signature: %1/%2</translation>
    </message>
    <message>
        <source>--bar : il manque N TEXTE.</source>
        <translation>--bar: N TEXT is missing.</translation>
    </message>
    <message>
        <source>--bar : « %1 » n&apos;est pas un nombre de 1 à %2.</source>
        <translation>--bar: “%1” is not a number from 1 to %2.</translation>
    </message>
    <message>
        <source>--bar %1 : %2</source>
        <translation>--bar %1: %2</translation>
    </message>
    <message>
        <source>Il manque GRILLE.bab.</source>
        <translation>CHART.bab missing.</translation>
    </message>
    <message>
        <source>-o : valeur manquante.</source>
        <translation>-o: missing value.</translation>
    </message>
    <message>
        <source>--bar %1 : la grille n&apos;a que %2 mesures.</source>
        <translation>--bar %1: the chart has only %2 bars.</translation>
    </message>
    <message>
        <source>LISTE.setlist ou GRILLE.bab</source>
        <translation>LIST.setlist or CHART.bab</translation>
    </message>
    <message>
        <source>  mavrel songbook LISTE.setlist|GRILLE.bab... -o RECUEIL.pdf [--per N] [--for Bb|Eb|F]
                [--chord-style classic|jazz]
                                               un recueil en PDF : page de titre, sommaire
                                               avec liens et signets, 1, 2, 4 ou 8 grilles par
                                               page, numéros de page ; chaque morceau d&apos;une
                                               liste dans sa tonalité et sa partie
</source>
        <translation>  mavrel songbook LIST.setlist|CHART.bab... -o BOOK.pdf [--per N] [--for Bb|Eb|F]
                [--chord-style classic|jazz]
                                               a PDF songbook: title page, contents with
                                               links and bookmarks, 1, 2, 4 or 8 charts a
                                               page, page numbers; each song of a list
                                               in its key and part
</translation>
    </message>
    <message>
        <source>  mavrel export LISTE.setlist -o LISTE.html|DOSSIER/
                                               page de liens iReal Pro, ou un MusicXML par morceau
</source>
        <translation>  mavrel export LIST.setlist -o LIST.html|FOLDER/
                                               a page of iReal Pro links, or a MusicXML file a song
</translation>
    </message>
    <message>
        <source>%1 : une liste de morceaux se donne seule.</source>
        <translation>%1: a set list is given on its own.</translation>
    </message>
    <message>
        <source>%1 : Mémoire insuffisante pour créer le document.</source>
        <translation>%1: Not enough memory to make the document.</translation>
    </message>
    <message>
        <source>.html ou DOSSIER/</source>
        <translation>.html or FOLDER/</translation>
    </message>
    <message>
        <source>%1 : grille introuvable, laissée de côté.</source>
        <translation>%1: chart not found, left out.</translation>
    </message>
    <message>
        <source>  mavrel [GRILLE.bab|LISTE.setlist...]         ouvre l&apos;éditeur, une fenêtre par grille ou liste
</source>
        <translation>  mavrel [CHART.bab|LIST.setlist...]           opens the editor, one window per chart or set list
</translation>
    </message>
</context>
<context>
    <name>FileFormats</name>
    <message>
        <source>%1 ou %2</source>
        <translation>%1 or %2</translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>Lecture au-delà de la fin de fichier.</source>
        <translation>Read past the end of the file.</translation>
    </message>
    <message>
        <source>Nom de fichier incorrect.</source>
        <translation>Invalid file name.</translation>
    </message>
    <message>
        <source>Fichier introuvable.</source>
        <translation>File not found.</translation>
    </message>
    <message>
        <source>Accès au dossier « %1 » refusé.</source>
        <translation>Access to the folder “%1” denied.</translation>
    </message>
    <message>
        <source>Accès au fichier refusé.</source>
        <translation>Access to the file denied.</translation>
    </message>
    <message>
        <source>Trop de fichiers ouverts.</source>
        <translation>Too many open files.</translation>
    </message>
    <message>
        <source>Disque plein.</source>
        <translation>Disk full.</translation>
    </message>
    <message>
        <source>Erreur E/S %1.</source>
        <translation>I/O error %1.</translation>
    </message>
    <message>
        <source>Fichier de grille endommagé : nombre de cases incorrect.</source>
        <translation>Damaged chart file: wrong number of bars.</translation>
    </message>
    <message>
        <source>Fichier de grille endommagé : nombre de textes incorrect.</source>
        <translation>Damaged chart file: wrong number of texts.</translation>
    </message>
    <message>
        <source>Fichier de grille endommagé : nombre de colonnes ou de lignes incorrect.</source>
        <translation>Damaged chart file: wrong number of columns or rows.</translation>
    </message>
    <message>
        <source>Fichier de grille endommagé : taille de page incorrecte.</source>
        <translation>Damaged chart file: wrong page size.</translation>
    </message>
    <message>
        <source>Fichier de grille endommagé : marges incorrectes.</source>
        <translation>Damaged chart file: wrong margins.</translation>
    </message>
    <message>
        <source>Grille incohérente : nombre de cases incorrect.</source>
        <translation>Inconsistent chart: wrong number of bars.</translation>
    </message>
    <message>
        <source>Grille incohérente : nombre de textes incorrect.</source>
        <translation>Inconsistent chart: wrong number of texts.</translation>
    </message>
    <message>
        <source>Grille incohérente : nombre de colonnes ou de lignes incorrect.</source>
        <translation>Inconsistent chart: wrong number of columns or rows.</translation>
    </message>
    <message>
        <source>Grille incohérente : taille de page incorrecte.</source>
        <translation>Inconsistent chart: wrong page size.</translation>
    </message>
    <message>
        <source>Grille incohérente : marges incorrectes.</source>
        <translation>Inconsistent chart: wrong margins.</translation>
    </message>
    <message>
        <source>Une mesure tient au moins un accord (% pour la répéter).</source>
        <translation>A bar holds at least one chord (% to repeat the one before).</translation>
    </message>
    <message>
        <source>Une mesure tient au plus 4 accords.</source>
        <translation>A bar holds at most 4 chords.</translation>
    </message>
    <message>
        <source>sortie standard</source>
        <translation>standard output</translation>
    </message>
    <message>
        <source>%1 : %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Fichier trop grand pour une liste de morceaux.</source>
        <translation>File too large for a list of songs.</translation>
    </message>
    <message>
        <source>Impossible de créer ce dossier.</source>
        <translation>Cannot create this folder.</translation>
    </message>
    <message>
        <source>« %1 » : un accord commence par sa note, de A à G, ou par %.</source>
        <translation>“%1”: a chord starts with its note, A to G, or with %.</translation>
    </message>
    <message>
        <source>« %1 » : caractère que la grille ne peut pas garder.</source>
        <translation>“%1”: a character the chart cannot keep.</translation>
    </message>
    <message>
        <source>« %1 » : la musique ne commence pas par « %2 ».</source>
        <translation>“%1”: the music does not start with “%2”.</translation>
    </message>
    <message>
        <source>« %1 » : séquence « %2 » invalide au caractère %3 du lien.</source>
        <translation>“%1”: invalid sequence “%2” at character %3 of the link.</translation>
    </message>
    <message>
        <source>« %1 » : plus de %2 textes, les suivants sont omis.</source>
        <translation>“%1”: more than %2 texts, the others are left out.</translation>
    </message>
    <message>
        <source>« %1 » : mesure %2 : %3 accords, seuls les 4 premiers sont gardés.</source>
        <translation>“%1”: bar %2: %3 chords, only the first 4 are kept.</translation>
    </message>
    <message>
        <source>« %1 » : la chanson n&apos;a aucune mesure.</source>
        <translation>“%1”: the song has no bars.</translation>
    </message>
    <message>
        <source>Mémoire insuffisante pour créer l&apos;image.</source>
        <translation>Not enough memory to make the picture.</translation>
    </message>
    <message>
        <source>Les informations du morceau (tonalité, tempo, sections, reprises) sont endommagées : elles ont été mises de côté, les mesures et les textes sont intacts. Enregistrer la grille les perdra.</source>
        <translation>The song information (key, tempo, sections, repeats) is damaged: it was set aside, the bars and texts are intact. Saving the chart will lose it.</translation>
    </message>
    <message>
        <source>Les informations du morceau viennent d&apos;une version plus récente de Mavrel : elles ont été mises de côté, les mesures et les textes sont intacts. Enregistrer la grille les perdra.</source>
        <translation>The song information comes from a newer version of Mavrel: it was set aside, the bars and texts are intact. Saving the chart will lose it.</translation>
    </message>
    <message>
        <source>Une partie des informations du morceau (« %1 ») vient d&apos;une version plus récente de Mavrel : elle a été mise de côté. Enregistrer la grille la perdra.</source>
        <translation>Part of the song information (“%1”) comes from a newer version of Mavrel: it was set aside. Saving the chart will lose it.</translation>
    </message>
    <message>
        <source>Dossier « %1 » introuvable.</source>
        <translation>Folder “%1” not found.</translation>
    </message>
    <message>
        <source>« %1 » n&apos;est pas un dossier.</source>
        <translation>“%1” is not a folder.</translation>
    </message>
    <message>
        <source>Le fichier existe déjà.</source>
        <translation>The file already exists.</translation>
    </message>
    <message>
        <source>« %1 » : un accord ne garde aucun caractère de contrôle.</source>
        <translation>“%1”: a chord keeps no control character.</translation>
    </message>
    <message>
        <source>Noté « %2 » pour « %1 » : une grille n&apos;écrit pas %3.</source>
        <translation>Written “%2” for “%1”: a chart does not write %3.</translation>
    </message>
    <message>
        <source>« %1 » : une grille n&apos;écrit pas de double altération.</source>
        <translation>“%1”: a chart does not write double accidentals.</translation>
    </message>
    <message>
        <source>« %1 » : la grille l&apos;écrirait « %2 », qui se lit autrement.</source>
        <translation>“%1”: the chart would write it “%2”, which reads otherwise.</translation>
    </message>
    <message>
        <source>« %1 » : la basse après « / » est une note de A à G, avec au plus un b ou un #.</source>
        <translation>“%1”: the bass after “/” is a note, A to G, with at most one b or #.</translation>
    </message>
    <message>
        <source>« %1 » : la qualité d&apos;un accord tient en 24 caractères.</source>
        <translation>“%1”: a chord&apos;s quality holds at most 24 characters.</translation>
    </message>
    <message>
        <source>Rien n&apos;a été transposé : à la mesure %1, « %2 » ne tiendrait plus dans la grille avec sa basse transposée (24 caractères après la note).</source>
        <translation>Nothing was transposed: in bar %1, “%2” would no longer fit in the chart with its bass transposed (24 characters after the root).</translation>
    </message>
    <message>
        <source>Pas de partie en Si♭ : à la mesure %1, « %2 » ne tiendrait plus dans la grille avec sa basse transposée (24 caractères après la note).</source>
        <translation>No B♭ part: in bar %1, “%2” would no longer fit in the chart with its bass transposed (24 characters after the root).</translation>
    </message>
    <message>
        <source>Pas de partie en Mi♭ : à la mesure %1, « %2 » ne tiendrait plus dans la grille avec sa basse transposée (24 caractères après la note).</source>
        <translation>No E♭ part: in bar %1, “%2” would no longer fit in the chart with its bass transposed (24 characters after the root).</translation>
    </message>
    <message>
        <source>Pas de partie en Fa : à la mesure %1, « %2 » ne tiendrait plus dans la grille avec sa basse transposée (24 caractères après la note).</source>
        <translation>No F part: in bar %1, “%2” would no longer fit in the chart with its bass transposed (24 characters after the root).</translation>
    </message>
    <message>
        <source>« %1 » : le titre contenait des caractères de contrôle (%2), ils sont retirés.</source>
        <translation>“%1”: the title held control characters (%2); they are removed.</translation>
    </message>
    <message>
        <source>« %1 » : le lien est coupé dans la musique, la fin de la chanson manque.</source>
        <translation>“%1”: the link is cut inside the music; the end of the song is missing.</translation>
    </message>
    <message>
        <source>« %1 » : le lien est coupé : la chanson s&apos;arrête au champ %2 sur %3.</source>
        <translation>“%1”: the link is cut: the song stops at field %2 of %3.</translation>
    </message>
    <message>
        <source>« %1 » : le nom du compositeur contenait des caractères de contrôle (%2), ils sont retirés.</source>
        <translation>“%1”: the composer&apos;s name held control characters (%2); they are removed.</translation>
    </message>
    <message>
        <source>« %1 » : le style contenait des caractères de contrôle (%2), ils sont retirés.</source>
        <translation>“%1”: the style held control characters (%2); they are removed.</translation>
    </message>
    <message>
        <source>Plus de %1 chansons : les suivantes ne sont pas lues.</source>
        <translation>More than %1 songs: the ones after them are not read.</translation>
    </message>
    <message>
        <source>« %1 » : plus de %2 mesures, une grille n&apos;en tient pas plus.</source>
        <translation>“%1”: more than %2 bars; a chart holds no more.</translation>
    </message>
    <message>
        <source>« %1 » : mesure %2 : « %3 » illisible, ignoré (caractère %4 de la musique).</source>
        <translation>“%1”: bar %2: “%3” cannot be read and is skipped (character %4 of the music).</translation>
    </message>
    <message>
        <source>« %1 » : à partir de la mesure %2, d&apos;autres signes illisibles sont ignorés.</source>
        <translation>“%1”: from bar %2 on, more signs that cannot be read are skipped.</translation>
    </message>
    <message>
        <source>« %1 » : mesure %2 : « &lt; » sans « &gt; » qui ferme le commentaire, ignoré (caractère %3 de la musique).</source>
        <translation>“%1”: bar %2: “&lt;” without a “&gt;” to close the comment, skipped (character %3 of the music).</translation>
    </message>
    <message>
        <source>« %1 » : mesure %2 : un commentaire contenait des caractères de contrôle (%3), ils sont retirés.</source>
        <translation>“%1”: bar %2: a comment held control characters (%3); they are removed.</translation>
    </message>
    <message>
        <source>« %1 » : mesure %2 : « r » répète deux mesures et n&apos;en a que %3 avant lui, il répète la mesure d&apos;avant.</source>
        <translation>“%1”: bar %2: “r” repeats two bars and has only %3 before it; it repeats the bar before.</translation>
    </message>
    <message>
        <source>Mémoire insuffisante pour créer le document.</source>
        <translation>Not enough memory to make the document.</translation>
    </message>
    <message>
        <source>« %1 » : accord incompris, joué comme un accord parfait.</source>
        <translation>“%1”: chord not understood, played as a triad.</translation>
    </message>
    <message>
        <source>La forme ne finit pas : elle est coupée après %1 mesures.</source>
        <translation>The form never ends: it is cut after %1 bars.</translation>
    </message>
    <message>
        <source>Mesure %1 : « To Coda » sans coda après elle, le morceau continue.</source>
        <translation>Bar %1: “To Coda” with no coda after it; the song goes on.</translation>
    </message>
    <message>
        <source>Mesure %1 : « %2 » sans segno, le morceau reprend au début.</source>
        <translation>Bar %1: “%2” with no segno; the song goes back to the start.</translation>
    </message>
    <message>
        <source>Morceau trop long pour un fichier audio : %1 minutes (%2 au plus).</source>
        <translation>Song too long for an audio file: %1 minutes (%2 at most).</translation>
    </message>
    <message>
        <source>Mémoire insuffisante pour coder le son.</source>
        <translation>Not enough memory to encode the sound.</translation>
    </message>
    <message>
        <source>Le synthétiseur FluidSynth n&apos;est pas installé : installez le paquet libfluidsynth3.</source>
        <translation>The FluidSynth synthesizer is not installed: install the package libfluidsynth3.</translation>
    </message>
    <message>
        <source>Aucune banque de sons General MIDI n&apos;est installée : installez le paquet timgm6mb-soundfont ou choisissez un fichier .sf2 ou .sf3.</source>
        <translation>No General MIDI SoundFont is installed: install the package timgm6mb-soundfont or choose a .sf2 or .sf3 file.</translation>
    </message>
    <message>
        <source>Banque de sons introuvable ou illisible.</source>
        <translation>SoundFont not found or unreadable.</translation>
    </message>
    <message>
        <source>Mémoire insuffisante pour le synthétiseur.</source>
        <translation>Not enough memory for the synthesizer.</translation>
    </message>
    <message>
        <source>Ce fichier n&apos;est pas une banque de sons SoundFont lisible.</source>
        <translation>This file is not a readable SoundFont.</translation>
    </message>
    <message>
        <source>« %1 » : mesure %2 : l&apos;accord de remplacement « %3 » n&apos;est pas gardé.</source>
        <translation>“%1”: bar %2: the alternate chord “%3” is not kept.</translation>
    </message>
    <message>
        <source>« %1 » : mesure %2 : deux chiffrages de mesure, %3 puis %4 : seul le second est gardé.</source>
        <translation>“%1”: bar %2: two time signatures, %3 then %4: only the second is kept.</translation>
    </message>
    <message>
        <source>« %1 » : mesure %2 : le crochet de fin « N%3 » n&apos;est pas gardé : une grille a les fins 1 à 3, une par mesure.</source>
        <translation>“%1”: bar %2: the ending bracket “N%3” is not kept: a chart has endings 1 to 3, one to a bar.</translation>
    </message>
    <message>
        <source>« %1 » : mesure %2 : la basse de « %3 » ne tient pas en %4 caractères, elle est omise.</source>
        <translation>“%1”: bar %2: the bass of “%3” does not fit in %4 characters, it is left out.</translation>
    </message>
    <message>
        <source>« %1 » : mesure %2 : « %3 » est coupé à %4 caractères.</source>
        <translation>“%1”: bar %2: “%3” is cut to %4 characters.</translation>
    </message>
    <message>
        <source>« %1 » : la tonalité « %2 » n&apos;est pas lue.</source>
        <translation>“%1”: the key “%2” cannot be read.</translation>
    </message>
    <message>
        <source>« %1 » : le tempo « %2 » n&apos;est pas lu.</source>
        <translation>“%1”: the tempo “%2” cannot be read.</translation>
    </message>
    <message>
        <source>« %1 » : l&apos;accompagnement d&apos;iReal Pro « %2 » n&apos;est pas gardé.</source>
        <translation>“%1”: the iReal Pro accompaniment “%2” is not kept.</translation>
    </message>
    <message>
        <source>« %1 » : la transposition d&apos;iReal Pro (%2) n&apos;est pas gardée : la grille est dans la tonalité écrite.</source>
        <translation>“%1”: the iReal Pro transposition (%2) is not kept: the chart is in the written key.</translation>
    </message>
    <message>
        <source>« %1 » : le nombre de fois qu&apos;iReal Pro joue la grille (%2) n&apos;est pas gardé.</source>
        <translation>“%1”: the number of times iReal Pro plays the chart (%2) is not kept.</translation>
    </message>
    <message>
        <source>Grilles</source>
        <translation>Charts</translation>
    </message>
    <message>
        <source>MusicXML</source>
        <translation>MusicXML</translation>
    </message>
    <message>
        <source>Grille LilyPond</source>
        <translation>LilyPond chord grid</translation>
    </message>
    <message>
        <source>Lien iReal Pro</source>
        <translation>iReal Pro link</translation>
    </message>
    <message>
        <source>Listes iReal Pro</source>
        <translation>iReal Pro playlists</translation>
    </message>
    <message>
        <source>Aucun lien iReal Pro.</source>
        <translation>No iReal Pro link.</translation>
    </message>
    <message>
        <source>Ce format ne permet pas cette opération.</source>
        <translation>This format cannot do that.</translation>
    </message>
    <message>
        <source>Accompagnement MIDI</source>
        <translation>Band as MIDI</translation>
    </message>
    <message>
        <source>Accompagnement en son WAV</source>
        <translation>Band&apos;s sound as WAV</translation>
    </message>
    <message>
        <source>Accompagnement en son FLAC</source>
        <translation>Band&apos;s sound as FLAC</translation>
    </message>
    <message>
        <source>Mémoire insuffisante pour dessiner la page.</source>
        <translation>Not enough memory to draw the page.</translation>
    </message>
    <message>
        <source>Mémoire insuffisante pour dessiner la page de « %1 ».</source>
        <translation>Not enough memory to draw the page of “%1”.</translation>
    </message>
    <message>
        <source>Images PNG</source>
        <translation>PNG images</translation>
    </message>
    <message>
        <source>image trop grande, %1 × %2 pixels (%3 millions au plus).</source>
        <translation>picture too large, %1 × %2 pixels (%3 million at most).</translation>
    </message>
    <message>
        <source>Mémoire insuffisante pour composer la feuille.</source>
        <translation>Not enough memory to compose the sheet.</translation>
    </message>
    <message>
        <source>Documents PDF</source>
        <translation>PDF documents</translation>
    </message>
    <message>
        <source>Images SVG</source>
        <translation>SVG images</translation>
    </message>
    <message>
        <source>« %1 » : la mesure a déjà un signe de cette sorte.</source>
        <translation>“%1”: the bar already has a mark of this kind.</translation>
    </message>
    <message>
        <source>« %1 » : il manque le « ] » qui ferme la section.</source>
        <translation>“%1”: the “]” that closes the section is missing.</translation>
    </message>
    <message>
        <source>« %1 » : une section a un nom ([A], [Intro]...).</source>
        <translation>“%1”: a section has a name ([A], [Intro]...).</translation>
    </message>
    <message>
        <source>« %1 » : le nom d&apos;une section tient en 15 octets (une lettre accentuée en compte deux).</source>
        <translation>“%1”: a section&apos;s name holds 15 bytes (an accented letter counts as two).</translation>
    </message>
    <message>
        <source>« %1 » : les indications sont &lt;D.C.&gt;, &lt;D.C. al Coda&gt;, &lt;D.C. al Fine&gt;, &lt;D.S.&gt;, &lt;D.S. al Coda&gt;, &lt;D.S. al Fine&gt;, &lt;Fine&gt; et &lt;To Coda&gt;.</source>
        <translation>“%1”: the directions are &lt;D.C.&gt;, &lt;D.C. al Coda&gt;, &lt;D.C. al Fine&gt;, &lt;D.S.&gt;, &lt;D.S. al Coda&gt;, &lt;D.S. al Fine&gt;, &lt;Fine&gt; and &lt;To Coda&gt;.</translation>
    </message>
    <message>
        <source>« %1 » : une fin de reprise est 1., 2. ou 3.</source>
        <translation>“%1”: an ending is 1., 2. or 3.</translation>
    </message>
    <message>
        <source>« %1 » : un chiffrage s&apos;écrit 3/4, 6/8, 12/8... : de 1 à 16 temps, d&apos;unité 1, 2, 4, 8, 16 ou 32.</source>
        <translation>“%1”: a time signature is written 3/4, 6/8, 12/8...: 1 to 16 beats, of unit 1, 2, 4, 8, 16 or 32.</translation>
    </message>
    <message>
        <source>« %1 » : les signes se tapent avant ou après les accords de la mesure, pas entre eux.</source>
        <translation>“%1”: marks are typed before or after the bar&apos;s chords, not between them.</translation>
    </message>
    <message>
        <source>Ligne %1 : aucun fichier de grille.</source>
        <translation>Line %1: no chart file.</translation>
    </message>
    <message>
        <source>Ligne %1 : trop longue, ignorée.</source>
        <translation>Line %1: too long, skipped.</translation>
    </message>
    <message>
        <source>Ligne %1 : « %2 » n&apos;est pas une tonalité.</source>
        <translation>Line %1: “%2” is not a key.</translation>
    </message>
    <message>
        <source>Ligne %1 : « %2 » n&apos;est pas une partie (Bb, Eb ou F).</source>
        <translation>Line %1: “%2” is not a part (Bb, Eb or F).</translation>
    </message>
    <message>
        <source>Ligne %1 : champ inconnu « %2 ».</source>
        <translation>Line %1: unknown field “%2”.</translation>
    </message>
    <message>
        <source>Ce fichier n&apos;est pas une liste de morceaux.</source>
        <translation>This file is not a set list.</translation>
    </message>
    <message>
        <source>Cette liste vient d&apos;une version plus récente : ce qui n&apos;a pas pu être lu est ignoré.</source>
        <translation>This set list comes from a newer version: what could not be read is skipped.</translation>
    </message>
    <message>
        <source>Ligne %1 : une liste tient %2 morceaux au plus ; la suite est ignorée.</source>
        <translation>Line %1: a set list holds %2 songs at most; the rest is skipped.</translation>
    </message>
    <message>
        <source>Fichier trop grand pour une liste de morceaux (%1 Mo au plus).</source>
        <translation>File too large for a set list (%1 MB at most).</translation>
    </message>
</context>
<context>
    <name>Printing</name>
    <message>
        <source>Aucune imprimante n&apos;est disponible.</source>
        <translation>No printer is available.</translation>
    </message>
    <message>
        <source>L&apos;impression sur « %1 » a échoué.</source>
        <translation>Printing on “%1” failed.</translation>
    </message>
    <message>
        <source>L&apos;imprimante indique : « %1 »</source>
        <translation>The printer says: “%1”</translation>
    </message>
    <message>
        <source>« %1 » n&apos;accepte aucun travail : la feuille n&apos;a pas été imprimée.</source>
        <translation>“%1” accepts no jobs: the sheet was not printed.</translation>
    </message>
    <message>
        <source>« %1 » est arrêtée : la feuille n&apos;a pas été imprimée.</source>
        <translation>“%1” is stopped: the sheet was not printed.</translation>
    </message>
    <message>
        <source>L&apos;impression sur « %1 » a échoué : %2</source>
        <translation>Printing on “%1” failed: %2</translation>
    </message>
    <message>
        <source>« %1 » n&apos;accepte aucun travail : le recueil n&apos;a pas été imprimé.</source>
        <translation>“%1” accepts no jobs: the songbook was not printed.</translation>
    </message>
    <message>
        <source>« %1 » est arrêtée : le recueil n&apos;a pas été imprimé.</source>
        <translation>“%1” is stopped: the songbook was not printed.</translation>
    </message>
</context>
<context>
    <name>Songbook</name>
    <message>
        <source>Recueil</source>
        <translation>Songbook</translation>
    </message>
    <message>
        <source>Sommaire</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>manquante</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>%1 : grille introuvable, marquée manquante dans le sommaire.</source>
        <translation>%1: chart not found, marked missing in the contents.</translation>
    </message>
</context>
<context>
    <name>Sound</name>
    <message>
        <source>La sortie audio « %1 » ne joue pas de son stéréo en 16 bits à 44,1 kHz.</source>
        <translation>The audio output “%1” does not play 16-bit stereo sound at 44.1 kHz.</translation>
    </message>
    <message>
        <source>La sortie audio ne joue pas le son.</source>
        <translation>The audio output does not play the sound.</translation>
    </message>
    <message>
        <source>La sortie audio ne peut pas être ouverte.</source>
        <translation>The audio output cannot be opened.</translation>
    </message>
    <message>
        <source>La sortie audio a cessé de jouer.</source>
        <translation>The audio output stopped playing.</translation>
    </message>
    <message>
        <source>Aucune sortie audio : le son ne peut pas être joué sur cette machine.</source>
        <translation>No audio output: sound cannot be played on this machine.</translation>
    </message>
</context>
<context>
    <name>UserDialogs</name>
    <message>
        <source>&amp;Enregistrer</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>&amp;Ne pas enregistrer</source>
        <translation>&amp;Don&apos;t Save</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Tous les morceaux, dans un dossier…</source>
        <translation>All the songs, into a folder…</translation>
    </message>
    <message>
        <source>Importer</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>&amp;Morceau à ouvrir :</source>
        <translation>&amp;Song to open:</translation>
    </message>
    <message>
        <source>Section</source>
        <translation>Section</translation>
    </message>
    <message>
        <source>&amp;Nom de la section :</source>
        <translation>Section &amp;name:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;Récupérer</source>
        <translation>&amp;Recover</translation>
    </message>
    <message>
        <source>&amp;Ignorer</source>
        <translation>&amp;Ignore</translation>
    </message>
</context>
<context>
    <name>mavrel::AboutDialog</name>
    <message>
        <source>Mavrel  Version %1</source>
        <translation>Mavrel  Version %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>À propos de Mavrel</source>
        <translation>About Mavrel</translation>
    </message>
</context>
<context>
    <name>mavrel::BarMarksMenu</name>
    <message>
        <source>Mesure %1</source>
        <translation>Bar %1</translation>
    </message>
    <message>
        <source>Aucune</source>
        <comment>section</comment>
        <translation>None</translation>
    </message>
    <message>
        <source>Intro</source>
        <translation>Intro</translation>
    </message>
    <message>
        <source>Couplet</source>
        <translation>Verse</translation>
    </message>
    <message>
        <source>Refrain</source>
        <translation>Chorus</translation>
    </message>
    <message>
        <source>Pont</source>
        <translation>Bridge</translation>
    </message>
    <message>
        <source>Solo</source>
        <translation>Solo</translation>
    </message>
    <message>
        <source>Coda</source>
        <translation>Coda</translation>
    </message>
    <message>
        <source>Outro</source>
        <translation>Outro</translation>
    </message>
    <message>
        <source>Autre…</source>
        <translation>Other…</translation>
    </message>
    <message>
        <source>Aucune</source>
        <comment>ending</comment>
        <translation>None</translation>
    </message>
    <message>
        <source>Aucune</source>
        <comment>direction</comment>
        <translation>None</translation>
    </message>
    <message>
        <source>Sans changement</source>
        <translation>No change</translation>
    </message>
    <message>
        <source>Simple</source>
        <translation>Single</translation>
    </message>
    <message>
        <source>Début de reprise |:</source>
        <translation>Start repeat |:</translation>
    </message>
    <message>
        <source>Double barre ||</source>
        <translation>Double bar ||</translation>
    </message>
    <message>
        <source>Fin de reprise :|</source>
        <translation>End repeat :|</translation>
    </message>
    <message>
        <source>%1 mesures</source>
        <translation>%1 bars</translation>
    </message>
    <message>
        <source>Autre : %1…</source>
        <translation>Other: %1…</translation>
    </message>
    <message>
        <source>&amp;Mesure</source>
        <translation>&amp;Bar</translation>
    </message>
    <message>
        <source>&amp;Section</source>
        <translation>&amp;Section</translation>
    </message>
    <message>
        <source>&amp;Fin de reprise</source>
        <translation>&amp;Ending</translation>
    </message>
    <message>
        <source>Se&amp;gno</source>
        <translation>Se&amp;gno</translation>
    </message>
    <message>
        <source>Signe de &amp;coda</source>
        <translation>&amp;Coda sign</translation>
    </message>
    <message>
        <source>&amp;Point d&apos;orgue</source>
        <translation>&amp;Fermata</translation>
    </message>
    <message>
        <source>&amp;Indication</source>
        <translation>&amp;Direction</translation>
    </message>
    <message>
        <source>C&amp;hiffrage</source>
        <translation>&amp;Time signature</translation>
    </message>
    <message>
        <source>&amp;Barre de gauche</source>
        <translation>&amp;Left bar line</translation>
    </message>
    <message>
        <source>Barre de &amp;droite</source>
        <translation>&amp;Right bar line</translation>
    </message>
</context>
<context>
    <name>mavrel::ChartDocument</name>
    <message>
        <source>Sans titre</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>la saisie de l&apos;accord</source>
        <translation>chord entry</translation>
    </message>
    <message>
        <source>la saisie de la mesure</source>
        <translation>bar entry</translation>
    </message>
    <message>
        <source>le changement de division</source>
        <translation>division change</translation>
    </message>
    <message>
        <source>l&apos;effacement de la case</source>
        <translation>hiding the bar</translation>
    </message>
    <message>
        <source>le retour de la case</source>
        <translation>showing the bar</translation>
    </message>
    <message>
        <source>le changement de barre</source>
        <translation>bar line change</translation>
    </message>
    <message>
        <source>la modification du texte</source>
        <translation>text change</translation>
    </message>
    <message>
        <source>la saisie du texte</source>
        <translation>text entry</translation>
    </message>
    <message>
        <source>la suppression du texte</source>
        <translation>text removal</translation>
    </message>
    <message>
        <source>le collage</source>
        <translation>paste</translation>
    </message>
    <message>
        <source>la suppression des cases</source>
        <translation>clearing the bars</translation>
    </message>
    <message>
        <source>la transposition</source>
        <translation>transposition</translation>
    </message>
    <message>
        <source>le changement de grille</source>
        <translation>grid change</translation>
    </message>
    <message>
        <source>la taille des accords</source>
        <translation>chord size</translation>
    </message>
    <message>
        <source>le gras des accords</source>
        <translation>bold chords</translation>
    </message>
    <message>
        <source>la rotation de la page</source>
        <translation>page rotation</translation>
    </message>
    <message>
        <source>le changement de marge</source>
        <translation>margin change</translation>
    </message>
</context>
<context>
    <name>mavrel::ChartEditor</name>
    <message>
        <source>Une grille ne garde pas les caractères de commande (tabulation, retour à la ligne…) : ce texte n&apos;a pas été pris.</source>
        <translation>A chart keeps no control characters (tab, line break…): this text was not taken.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; n&apos;est pas une valeur entière correcte.</source>
        <translation>&apos;%1&apos; is not a valid whole number.</translation>
    </message>
    <message>
        <source>Une grille compte au plus %1 cases : %2 × %3 dépasserait cette limite.</source>
        <translation>A chart holds at most %1 bars: %2 × %3 would go past that limit.</translation>
    </message>
    <message>
        <source>Mesure %1 : accords séparés par des espaces ; 3 accords = ¼ ¼ ½ (« Dm7. » : ½ d&apos;abord) ; signes autour : [A] 1. S Q |: 3/4 … f :| &lt;D.C.&gt;. Tab : suivante, Échap : fin.</source>
        <translation>Bar %1: chords separated by spaces; 3 chords = ¼ ¼ ½ (“Dm7.”: ½ first); marks around them: [A] 1. S Q |: 3/4 … f :| &lt;D.C.&gt;. Tab: next, Esc: stop.</translation>
    </message>
    <message>
        <source>Échap de nouveau : quitter sans enregistrer la mesure.</source>
        <translation>Esc again: leave without storing the bar.</translation>
    </message>
</context>
<context>
    <name>mavrel::ChordDialog</name>
    <message>
        <source>Accords</source>
        <translation>Chords</translation>
    </message>
    <message>
        <source>Autre</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>mavrel::ChordTypingBox</name>
    <message>
        <source>Les accords de la mesure, séparés par des espaces : une note de A à G, # ou b, puis la qualité (Dm7, F#ø, Bbsus4, C/E) ; % répète.
1 accord : case pleine ; 2 : diagonale ; 4 : quatre triangles ; 3 : deux quarts puis une moitié, ou la moitié d&apos;abord si le premier finit par un point (Dm7. G7 C7).
Avant les accords : [A] section, 1. 2. 3. fin de reprise, S segno, Q coda, |: ou || barre de gauche, 3/4 chiffrage ; après : f point d&apos;orgue, :| ou || barre de droite, &lt;D.S. al Coda&gt; indication.
Tab ou Entrée : mesure suivante ; Maj+Tab : précédente ; Alt+flèches : se déplacer ; Échap : quitter.</source>
        <translation>The bar&apos;s chords, separated by spaces: a note from A to G, # or b, then the quality (Dm7, F#ø, Bbsus4, C/E); % repeats.
1 chord: whole bar; 2: diagonal; 4: four triangles; 3: two quarters then a half, or the half first if the first chord ends with a full stop (Dm7. G7 C7).
Before the chords: [A] section, 1. 2. 3. ending, S segno, Q coda, |: or || left bar line, 3/4 time signature; after them: f fermata, :| or || right bar line, &lt;D.S. al Coda&gt; direction.
Tab or Enter: next bar; Shift+Tab: previous; Alt+arrows: move; Esc: stop.</translation>
    </message>
</context>
<context>
    <name>mavrel::DocumentManager</name>
    <message>
        <source>Sans titre</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>Mavrel ne s&apos;est pas terminé normalement. La grille « %1 » avait des modifications non enregistrées : les récupérer ?</source>
        <translation>Mavrel did not end normally. The chart “%1” had unsaved changes: recover them?</translation>
    </message>
</context>
<context>
    <name>mavrel::HelpWindow</name>
    <message>
        <source>Raccourcis clavier</source>
        <translation>Keyboard Shortcuts</translation>
    </message>
    <message>
        <source>Aide de Mavrel</source>
        <translation>Mavrel Help</translation>
    </message>
</context>
<context>
    <name>mavrel::LabelEditor</name>
    <message>
        <source>Une grille ne peut contenir plus de %1 textes : ce texte reste dans la zone de saisie.</source>
        <translation>A chart cannot hold more than %1 texts: this text stays in the entry box.</translation>
    </message>
</context>
<context>
    <name>mavrel::LibraryModel</name>
    <message>
        <source>Titre</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>Compositeur</source>
        <translation>Composer</translation>
    </message>
    <message>
        <source>Tonalité</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Style</translation>
    </message>
    <message>
        <source>Tempo</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <source>Mesures</source>
        <translation>Bars</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
</context>
<context>
    <name>mavrel::LibraryWindow</name>
    <message>
        <source>Bibliothèque</source>
        <translation>Library</translation>
    </message>
    <message>
        <source>Rechercher un titre, un compositeur, un style…</source>
        <translation>Search a title, a composer, a style…</translation>
    </message>
    <message>
        <source>&amp;Ajouter un dossier…</source>
        <translation>&amp;Add a Folder…</translation>
    </message>
    <message>
        <source>Ajouter un dossier à la bibliothèque</source>
        <translation>Add a Folder to the Library</translation>
    </message>
    <message>
        <source>&amp;Vignettes</source>
        <translation>&amp;Thumbnails</translation>
    </message>
    <message>
        <source>&amp;Dossiers</source>
        <translation>&amp;Folders</translation>
    </message>
    <message>
        <source>Aucun dossier</source>
        <translation>No folder</translation>
    </message>
    <message>
        <source>&amp;Retirer</source>
        <translation>&amp;Remove</translation>
    </message>
    <message>
        <source>1 grille</source>
        <translation>1 chart</translation>
    </message>
    <message>
        <source>%1 grilles</source>
        <translation>%1 charts</translation>
    </message>
    <message>
        <source>%1 sur %2</source>
        <translation>%1 of %2</translation>
    </message>
    <message>
        <source>Lecture… %1</source>
        <translation>Reading… %1</translation>
    </message>
    <message>
        <source>&amp;Nouvelle liste</source>
        <translation>&amp;New List</translation>
    </message>
    <message>
        <source>Une liste de morceaux des grilles choisies, à compléter en y faisant glisser d&apos;autres grilles</source>
        <translation>A set list of the charts chosen, to which more can be dragged</translation>
    </message>
    <message>
        <source>&amp;Recueil…</source>
        <translation>Song&amp;book…</translation>
    </message>
    <message>
        <source>Imprime ou enregistre en PDF un recueil des grilles choisies, ou de toutes celles montrées</source>
        <translation>Prints a songbook of the charts chosen, or of all those shown, or saves it as a PDF</translation>
    </message>
    <message>
        <source>La bibliothèque ne montre aucune grille.</source>
        <translation>The library shows no chart.</translation>
    </message>
</context>
<context>
    <name>mavrel::MainWindow</name>
    <message>
        <source>Pour passer du format horizontal au format vertical</source>
        <translation>To turn the page between landscape and portrait</translation>
    </message>
    <message>
        <source>Nombre de cases en largeur</source>
        <translation>Number of bars across</translation>
    </message>
    <message>
        <source>Nombre de cases en hauteur</source>
        <translation>Number of bars down</translation>
    </message>
    <message>
        <source>Outils pour entrer les accords
Clic droit = divisions
Clic gauche = accords</source>
        <translation>Tool to enter chords
Right click = divisions
Left click = chords</translation>
    </message>
    <message>
        <source>Pour gommer une case</source>
        <translation>To erase a bar</translation>
    </message>
    <message>
        <source>Pour mettre du texte</source>
        <translation>To put text</translation>
    </message>
    <message>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <source>G</source>
        <translation>B</translation>
    </message>
    <message>
        <source>Pour mettre en gras</source>
        <translation>To make bold</translation>
    </message>
    <message>
        <source>Pour la mise en page</source>
        <translation>For the page layout</translation>
    </message>
    <message>
        <source>Zoom (Ctrl et la molette)</source>
        <translation>Zoom (Ctrl and the wheel)</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1%</translation>
    </message>
    <message>
        <source>%1[*] - Mavrel</source>
        <translation>%1[*] - Mavrel</translation>
    </message>
    <message>
        <source>Saisie au clavier</source>
        <translation>Keyboard Entry</translation>
    </message>
    <message>
        <source>Enregistrer les modifications de « %1 » ?</source>
        <translation>Save the changes to “%1”?</translation>
    </message>
    <message>
        <source>La grille n&apos;a pas été enregistrée.</source>
        <translation>The chart was not saved.</translation>
    </message>
    <message>
        <source>Grilles (*.bab)</source>
        <translation>Charts (*.bab)</translation>
    </message>
    <message>
        <source>L&apos;aperçu avant impression n&apos;a pas été ouvert.</source>
        <translation>The print preview was not opened.</translation>
    </message>
    <message>
        <source>Importer</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Dossier des grilles importées</source>
        <translation>Folder for the imported charts</translation>
    </message>
    <message>
        <source>%1 grilles écrites dans « %2 ».</source>
        <translation>%1 charts written to “%2”.</translation>
    </message>
    <message>
        <source>La grille n&apos;a pas été exportée.</source>
        <translation>The chart was not exported.</translation>
    </message>
    <message>
        <source>Exporter</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Les informations du morceau mises de côté à l&apos;ouverture de « %1 » seront perdues. Enregistrer quand même ?</source>
        <translation>The song information set aside when “%1” was opened will be lost. Save anyway?</translation>
    </message>
    <message>
        <source>Classique</source>
        <translation>Classic</translation>
    </message>
    <message>
        <source>Jazz</source>
        <translation>Jazz</translation>
    </message>
    <message>
        <source>Écriture des accords : texte simple, ou comme sur un recueil de jazz</source>
        <translation>Chord style: plain text, or as in a jazz fake book</translation>
    </message>
    <message>
        <source>l&apos;écriture des accords</source>
        <translation>the chord style</translation>
    </message>
    <message>
        <source>taille auto</source>
        <translation>auto size</translation>
    </message>
    <message>
        <source>Les accords à la plus grande taille que leurs cases permettent</source>
        <translation>Chords at the largest size their places allow</translation>
    </message>
    <message>
        <source>la taille automatique des accords</source>
        <translation>the automatic chord size</translation>
    </message>
    <message>
        <source>Tous les fichiers (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>%1 : format inconnu (%2 attendu).</source>
        <translation>%1: unknown format (%2 expected).</translation>
    </message>
    <message>
        <source>la modification du morceau</source>
        <translation>song change</translation>
    </message>
    <message>
        <source>la section</source>
        <translation>section</translation>
    </message>
    <message>
        <source>la reprise %1.</source>
        <translation>ending %1.</translation>
    </message>
    <message>
        <source>la suppression de la reprise</source>
        <translation>ending removal</translation>
    </message>
    <message>
        <source>le segno</source>
        <translation>segno</translation>
    </message>
    <message>
        <source>le signe de coda</source>
        <translation>coda sign</translation>
    </message>
    <message>
        <source>le point d&apos;orgue</source>
        <translation>fermata</translation>
    </message>
    <message>
        <source>l&apos;indication</source>
        <translation>direction</translation>
    </message>
    <message>
        <source>le chiffrage</source>
        <translation>time signature</translation>
    </message>
    <message>
        <source>&amp;Fichier</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Nouveau</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>&amp;Ouvrir</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>&amp;Enregistrer</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>Enregistrer &amp;sous…</source>
        <translation>Save &amp;As…</translation>
    </message>
    <message>
        <source>&amp;Importer…</source>
        <translation>&amp;Import…</translation>
    </message>
    <message>
        <source>E&amp;xporter…</source>
        <translation>&amp;Export…</translation>
    </message>
    <message>
        <source>Im&amp;pression</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>É&amp;dition</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Annuler</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>&amp;Annuler %1</source>
        <translation>&amp;Undo %1</translation>
    </message>
    <message>
        <source>&amp;Rétablir</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>&amp;Rétablir %1</source>
        <translation>&amp;Redo %1</translation>
    </message>
    <message>
        <source>&amp;Copier</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>C&amp;oller</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>&amp;Supprimer</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>Saisie au c&amp;lavier</source>
        <translation>&amp;Keyboard Entry</translation>
    </message>
    <message>
        <source>&amp;Affichage</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>Zoom &amp;avant</source>
        <translation>Zoom &amp;In</translation>
    </message>
    <message>
        <source>Zoom a&amp;rrière</source>
        <translation>Zoom &amp;Out</translation>
    </message>
    <message>
        <source>&amp;Taille réelle</source>
        <translation>&amp;Actual Size</translation>
    </message>
    <message>
        <source>&amp;Préférences…</source>
        <translation>&amp;Preferences…</translation>
    </message>
    <message>
        <source>F&amp;onctions</source>
        <translation>F&amp;unctions</translation>
    </message>
    <message>
        <source>&amp;Transposer</source>
        <translation>&amp;Transpose</translation>
    </message>
    <message>
        <source>&amp;Morceau…</source>
        <translation>&amp;Song…</translation>
    </message>
    <message>
        <source>Aid&amp;e</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;Aide</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;Raccourcis clavier</source>
        <translation>&amp;Keyboard Shortcuts</translation>
    </message>
    <message>
        <source>À &amp;propos de Mavrel</source>
        <translation>&amp;About Mavrel</translation>
    </message>
    <message>
        <source>Ouvrir les menus</source>
        <translation>Open the menus</translation>
    </message>
    <message>
        <source>« %1 » est déjà ouvert dans une autre fenêtre : la grille n&apos;a pas été enregistrée.</source>
        <translation>“%1” is already open in another window: the chart was not saved.</translation>
    </message>
    <message>
        <source> ou </source>
        <translation> or </translation>
    </message>
    <message>
        <source>Outils</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>Menus</source>
        <translation>Menus</translation>
    </message>
    <message>
        <source>Ouvrir le premier menu</source>
        <translation>Open the first menu</translation>
    </message>
    <message>
        <source>Ouvrir un menu</source>
        <translation>Open a menu</translation>
    </message>
    <message>
        <source>Alt + la lettre soulignée</source>
        <translation>Alt + the underlined letter</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Page</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Ctrl + molette</source>
        <translation>Ctrl + wheel</translation>
    </message>
    <message>
        <source>Aller d&apos;une commande à l&apos;autre</source>
        <translation>Go from one control to the next</translation>
    </message>
    <message>
        <source>Tab, Maj+Tab</source>
        <translation>Tab, Shift+Tab</translation>
    </message>
    <message>
        <source>Nombre de cases (dans la case L ou H)</source>
        <translation>Number of bars (in the W or H box)</translation>
    </message>
    <message>
        <source>Flèches haut et bas, Entrée, Échap</source>
        <translation>Up and Down arrows, Enter, Esc</translation>
    </message>
    <message>
        <source>Mesure suivante</source>
        <translation>Next bar</translation>
    </message>
    <message>
        <source>Tab ou Entrée</source>
        <translation>Tab or Enter</translation>
    </message>
    <message>
        <source>Mesure précédente</source>
        <translation>Previous bar</translation>
    </message>
    <message>
        <source>Maj+Tab</source>
        <translation>Shift+Tab</translation>
    </message>
    <message>
        <source>Se déplacer sans enregistrer</source>
        <translation>Move without storing</translation>
    </message>
    <message>
        <source>Alt + flèches</source>
        <translation>Alt + arrows</translation>
    </message>
    <message>
        <source>Terminer</source>
        <translation>Finish</translation>
    </message>
    <message>
        <source>Échap</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>Cases &amp;L</source>
        <translation>Bars &amp;W</translation>
    </message>
    <message>
        <source>&amp;H</source>
        <translation>&amp;H</translation>
    </message>
    <message>
        <source>A</source>
        <comment>shortcut of the chord tool</comment>
        <translation>C</translation>
    </message>
    <message>
        <source>E</source>
        <comment>shortcut of the eraser</comment>
        <translation>E</translation>
    </message>
    <message>
        <source>Pour mettre des doubles barres ou des barres de reprise</source>
        <translation>To put double bar lines or repeat signs</translation>
    </message>
    <message>
        <source>B</source>
        <comment>shortcut of the bar-line tool</comment>
        <translation>B</translation>
    </message>
    <message>
        <source>Lasso : sélection pour le copier-coller</source>
        <translation>Lasso: selection for copy and paste</translation>
    </message>
    <message>
        <source>L</source>
        <comment>shortcut of the lasso</comment>
        <translation>L</translation>
    </message>
    <message>
        <source>T</source>
        <comment>shortcut of the text tool</comment>
        <translation>T</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>&amp;Taille :</source>
        <translation>&amp;Size:</translation>
    </message>
    <message>
        <source>Taille d&apos;écriture, accord ou texte</source>
        <translation>Size of the writing, chords or text</translation>
    </message>
    <message>
        <source>Le menu « Mesure » sur la page</source>
        <translation>The “Bar” menu over the page</translation>
    </message>
    <message>
        <source>Fichiers &amp;récents</source>
        <translation>&amp;Recent Files</translation>
    </message>
    <message>
        <source>&amp;Effacer la liste</source>
        <translation>&amp;Clear the List</translation>
    </message>
    <message>
        <source>« %1 » a été modifié par un autre programme, et la grille a des modifications non enregistrées. Recharger le fichier et perdre ces modifications ?</source>
        <translation>“%1” was changed by another program, and the chart has unsaved changes. Reload the file and lose these changes?</translation>
    </message>
    <message>
        <source>« %1 » a été modifié par un autre programme. Recharger la grille ?</source>
        <translation>“%1” was changed by another program. Reload the chart?</translation>
    </message>
    <message>
        <source>&amp;Bibliothèque</source>
        <translation>&amp;Library</translation>
    </message>
    <message>
        <source>Nouvelle &amp;liste de morceaux</source>
        <translation>New Se&amp;t List</translation>
    </message>
    <message>
        <source>Listes de morceaux (*.setlist)</source>
        <translation>Set lists (*.setlist)</translation>
    </message>
</context>
<context>
    <name>mavrel::MixerDialog</name>
    <message>
        <source>Mélangeur</source>
        <translation>Mixer</translation>
    </message>
    <message>
        <source>Basse</source>
        <translation>Bass</translation>
    </message>
    <message>
        <source>Piano</source>
        <translation>Piano</translation>
    </message>
    <message>
        <source>Batterie</source>
        <translation>Drums</translation>
    </message>
    <message>
        <source>Clic</source>
        <translation>Click</translation>
    </message>
    <message>
        <source>Volume : %1</source>
        <translation>Volume: %1</translation>
    </message>
    <message>
        <source>Muet</source>
        <translation>Mute</translation>
    </message>
    <message>
        <source>Fermer</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>mavrel::PreferencesDialog</name>
    <message>
        <source>Préférences</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source>Comment le style Jazz écrit les accords :</source>
        <translation>How the Jazz style writes chords:</translation>
    </message>
    <message>
        <source>superposées</source>
        <translation>stacked</translation>
    </message>
    <message>
        <source>entre parenthèses</source>
        <translation>in parentheses</translation>
    </message>
    <message>
        <source>après une barre (C/E)</source>
        <translation>after a slash (C/E)</translation>
    </message>
    <message>
        <source>sous l&apos;accord</source>
        <translation>under the chord</translation>
    </message>
    <message>
        <source>Majeur septième :</source>
        <translation>Major seventh:</translation>
    </message>
    <message>
        <source>Mineur :</source>
        <translation>Minor:</translation>
    </message>
    <message>
        <source>Demi-diminué :</source>
        <translation>Half-diminished:</translation>
    </message>
    <message>
        <source>Diminué :</source>
        <translation>Diminished:</translation>
    </message>
    <message>
        <source>Augmenté :</source>
        <translation>Augmented:</translation>
    </message>
    <message>
        <source>Altérations :</source>
        <translation>Accidentals:</translation>
    </message>
    <message>
        <source>Basse :</source>
        <translation>Bass:</translation>
    </message>
</context>
<context>
    <name>mavrel::PrintPreview</name>
    <message>
        <source>Par :</source>
        <translation>Per:</translation>
    </message>
    <message>
        <source>Imprime</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>PDF...</source>
        <translation>PDF…</translation>
    </message>
    <message>
        <source>Enregistre la feuille dans un fichier PDF, telle qu&apos;elle s&apos;imprime sur une page A4</source>
        <translation>Saves the sheet to a PDF file, as it prints on an A4 page</translation>
    </message>
    <message>
        <source>Pour :</source>
        <translation>For:</translation>
    </message>
    <message>
        <source>Imprime les grilles transposées pour un instrument en Si♭, Mi♭ ou Fa</source>
        <translation>Prints the charts transposed for an instrument in B♭, E♭ or F</translation>
    </message>
    <message>
        <source>Ut</source>
        <translation>C</translation>
    </message>
    <message>
        <source>Si♭</source>
        <translation>B♭</translation>
    </message>
    <message>
        <source>Mi♭</source>
        <translation>E♭</translation>
    </message>
    <message>
        <source>Fa</source>
        <translation>F</translation>
    </message>
    <message>
        <source>Cliquez pour ouvrir un nouveau fichier !</source>
        <translation>Click to open another file!</translation>
    </message>
    <message>
        <source>Enregistrer la feuille en PDF</source>
        <translation>Save the sheet as PDF</translation>
    </message>
    <message>
        <source>Documents PDF (*.pdf)</source>
        <translation>PDF documents (*.pdf)</translation>
    </message>
    <message>
        <source>Mémoire insuffisante pour dessiner la page.</source>
        <translation>Not enough memory to draw the page.</translation>
    </message>
    <message>
        <source>Mémoire insuffisante pour dessiner la page de « %1 ».</source>
        <translation>Not enough memory to draw the page of “%1”.</translation>
    </message>
    <message>
        <source>Mémoire insuffisante pour composer la feuille.</source>
        <translation>Not enough memory to compose the sheet.</translation>
    </message>
    <message>
        <source>Grille %1 de la feuille : %2</source>
        <translation>Chart %1 of the sheet: %2</translation>
    </message>
    <message>
        <source>en attente</source>
        <translation>pending</translation>
    </message>
    <message>
        <source>retenu</source>
        <translation>held</translation>
    </message>
    <message>
        <source>en cours</source>
        <translation>processing</translation>
    </message>
    <message>
        <source>arrêté</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>annulé</source>
        <translation>canceled</translation>
    </message>
    <message>
        <source>abandonné</source>
        <translation>aborted</translation>
    </message>
    <message>
        <source>Feuille envoyée à « %1 ».</source>
        <translation>Sheet sent to “%1”.</translation>
    </message>
    <message>
        <source>Feuille imprimée sur « %1 ».</source>
        <translation>Sheet printed on “%1”.</translation>
    </message>
    <message>
        <source>La feuille n&apos;a pas été imprimée sur « %1 » : travail %2.</source>
        <translation>The sheet was not printed on “%1”: job %2.</translation>
    </message>
    <message>
        <source>« %1 » s&apos;est arrêtée : la feuille attend dans sa file sans être imprimée.</source>
        <translation>“%1” has stopped: the sheet waits in its queue unprinted.</translation>
    </message>
    <message>
        <source>La feuille n&apos;est pas encore imprimée sur « %1 » (travail %2).</source>
        <translation>The sheet is not printed on “%1” yet (job %2).</translation>
    </message>
    <message>
        <source>Ajuster</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>La feuille entière dans la fenêtre (Ctrl et la molette pour zoomer)</source>
        <translation>The whole sheet in the window (Ctrl and the wheel to zoom)</translation>
    </message>
    <message>
        <source>Fermer</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Aperçu avant impression</source>
        <translation>Print preview</translation>
    </message>
    <message>
        <source>Sélectionnez ici le nombre de grilles à imprimer sur une feuille</source>
        <translation>Choose here how many charts to print on one sheet</translation>
    </message>
</context>
<context>
    <name>mavrel::SetListModel</name>
    <message>
        <source>Grille introuvable : %1</source>
        <translation>Chart not found: %1</translation>
    </message>
    <message>
        <source>Comme elle est écrite, en %1</source>
        <translation>As written, in %1</translation>
    </message>
    <message>
        <source>%1 (introuvable)</source>
        <translation>%1 (not found)</translation>
    </message>
    <message>
        <source>Titre</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>Tonalité</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>Partie</source>
        <translation>Part</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Si♭</source>
        <translation>B♭</translation>
    </message>
    <message>
        <source>Mi♭</source>
        <translation>E♭</translation>
    </message>
    <message>
        <source>Fa</source>
        <translation>F</translation>
    </message>
    <message>
        <source>Ut</source>
        <translation>C</translation>
    </message>
    <message>
        <source>l&apos;ajout de grilles</source>
        <translation>adding charts</translation>
    </message>
    <message>
        <source>le déplacement de morceaux</source>
        <translation>moving songs</translation>
    </message>
    <message>
        <source>le choix de la tonalité</source>
        <translation>key choice</translation>
    </message>
    <message>
        <source>le choix de la partie</source>
        <translation>part choice</translation>
    </message>
    <message>
        <source>la note</source>
        <translation>note</translation>
    </message>
    <message>
        <source>le retrait de morceaux</source>
        <translation>removing songs</translation>
    </message>
</context>
<context>
    <name>mavrel::SetListWindow</name>
    <message>
        <source>Concert du vendredi</source>
        <translation>Friday&apos;s gig</translation>
    </message>
    <message>
        <source>Comme écrite</source>
        <translation>As written</translation>
    </message>
    <message>
        <source>&amp;Nom :</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>&amp;Liste</source>
        <translation>&amp;List</translation>
    </message>
    <message>
        <source>&amp;Nouvelle liste</source>
        <translation>&amp;New List</translation>
    </message>
    <message>
        <source>&amp;Enregistrer</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>Enregistrer &amp;sous…</source>
        <translation>Save &amp;As…</translation>
    </message>
    <message>
        <source>&amp;Recueil…</source>
        <translation>Song&amp;book…</translation>
    </message>
    <message>
        <source>&amp;Bibliothèque</source>
        <translation>&amp;Library</translation>
    </message>
    <message>
        <source>&amp;Fermer</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>&amp;Morceaux</source>
        <translation>&amp;Songs</translation>
    </message>
    <message>
        <source>&amp;Ajouter des grilles…</source>
        <translation>&amp;Add Charts…</translation>
    </message>
    <message>
        <source>&amp;Ouvrir la grille</source>
        <translation>&amp;Open Chart</translation>
    </message>
    <message>
        <source>&amp;Retirer de la liste</source>
        <translation>&amp;Remove from List</translation>
    </message>
    <message>
        <source>&amp;Monter</source>
        <translation>Move &amp;Up</translation>
    </message>
    <message>
        <source>&amp;Descendre</source>
        <translation>Move &amp;Down</translation>
    </message>
    <message>
        <source>Liste enregistrée.</source>
        <translation>Set list saved.</translation>
    </message>
    <message>
        <source>Liste</source>
        <translation>Set list</translation>
    </message>
    <message>
        <source>Enregistrer la liste de morceaux</source>
        <translation>Save Set List</translation>
    </message>
    <message>
        <source>Listes de morceaux (*.setlist)</source>
        <translation>Set lists (*.setlist)</translation>
    </message>
    <message>
        <source>Enregistrer les modifications de la liste « %1 » ?</source>
        <translation>Save the changes to the set list “%1”?</translation>
    </message>
    <message>
        <source>Nouvelle liste</source>
        <translation>New list</translation>
    </message>
    <message>
        <source>%1[*] - Liste de morceaux - Mavrel</source>
        <translation>%1[*] - Set List - Mavrel</translation>
    </message>
    <message>
        <source>1 morceau</source>
        <translation>1 song</translation>
    </message>
    <message>
        <source>%1 morceaux</source>
        <translation>%1 songs</translation>
    </message>
    <message>
        <source>%1, dont 1 introuvable</source>
        <translation>%1, 1 not found</translation>
    </message>
    <message>
        <source>%1, dont %2 introuvables</source>
        <translation>%1, %2 not found</translation>
    </message>
    <message>
        <source>Glissez ici des grilles de la bibliothèque, ou choisissez « Ajouter des grilles… ».</source>
        <translation>Drag charts here from the library, or choose “Add Charts…”.</translation>
    </message>
    <message>
        <source>Ajouter une grille à la liste</source>
        <translation>Add a Chart to the List</translation>
    </message>
    <message>
        <source>Grilles (*.bab)</source>
        <translation>Charts (*.bab)</translation>
    </message>
    <message>
        <source>« %1 » n&apos;est pas une grille.</source>
        <translation>“%1” is not a chart.</translation>
    </message>
    <message>
        <source>« %1 » est introuvable.</source>
        <translation>“%1” cannot be found.</translation>
    </message>
    <message>
        <source>le nom de la liste</source>
        <translation>list name</translation>
    </message>
    <message>
        <source>É&amp;dition</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Annuler</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>&amp;Rétablir</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>le retrait de morceaux</source>
        <translation>removing songs</translation>
    </message>
</context>
<context>
    <name>mavrel::ShortcutsDialog</name>
    <message>
        <source>Raccourcis clavier</source>
        <translation>Keyboard Shortcuts</translation>
    </message>
    <message>
        <source>Commande</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>Touches</source>
        <translation>Keys</translation>
    </message>
    <message>
        <source>&amp;Fermer</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>mavrel::SongDialog</name>
    <message>
        <source>Do</source>
        <translation>C</translation>
    </message>
    <message>
        <source>Do♯</source>
        <translation>C♯</translation>
    </message>
    <message>
        <source>Ré♭</source>
        <translation>D♭</translation>
    </message>
    <message>
        <source>Ré</source>
        <translation>D</translation>
    </message>
    <message>
        <source>Ré♯</source>
        <translation>D♯</translation>
    </message>
    <message>
        <source>Mi♭</source>
        <translation>E♭</translation>
    </message>
    <message>
        <source>Mi</source>
        <translation>E</translation>
    </message>
    <message>
        <source>Fa</source>
        <translation>F</translation>
    </message>
    <message>
        <source>Fa♯</source>
        <translation>F♯</translation>
    </message>
    <message>
        <source>Sol♭</source>
        <translation>G♭</translation>
    </message>
    <message>
        <source>Sol</source>
        <translation>G</translation>
    </message>
    <message>
        <source>Sol♯</source>
        <translation>G♯</translation>
    </message>
    <message>
        <source>La♭</source>
        <translation>A♭</translation>
    </message>
    <message>
        <source>La</source>
        <translation>A</translation>
    </message>
    <message>
        <source>La♯</source>
        <translation>A♯</translation>
    </message>
    <message>
        <source>Si♭</source>
        <translation>B♭</translation>
    </message>
    <message>
        <source>Si</source>
        <translation>B</translation>
    </message>
    <message>
        <source>Swing</source>
        <translation>Swing</translation>
    </message>
    <message>
        <source>Medium Swing</source>
        <translation>Medium Swing</translation>
    </message>
    <message>
        <source>Ballade</source>
        <translation>Ballad</translation>
    </message>
    <message>
        <source>Bossa Nova</source>
        <translation>Bossa Nova</translation>
    </message>
    <message>
        <source>Latin</source>
        <translation>Latin</translation>
    </message>
    <message>
        <source>Samba</source>
        <translation>Samba</translation>
    </message>
    <message>
        <source>Funk</source>
        <translation>Funk</translation>
    </message>
    <message>
        <source>Rock</source>
        <translation>Rock</translation>
    </message>
    <message>
        <source>Pop</source>
        <translation>Pop</translation>
    </message>
    <message>
        <source>Valse</source>
        <translation>Waltz</translation>
    </message>
    <message>
        <source>Valse jazz</source>
        <translation>Jazz Waltz</translation>
    </message>
    <message>
        <source>Shuffle</source>
        <translation>Shuffle</translation>
    </message>
    <message>
        <source>Blues</source>
        <translation>Blues</translation>
    </message>
    <message>
        <source>Morceau</source>
        <translation>Song</translation>
    </message>
    <message>
        <source>majeur</source>
        <translation>major</translation>
    </message>
    <message>
        <source>mineur</source>
        <translation>minor</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>non précisé</source>
        <translation>not set</translation>
    </message>
    <message>
        <source>Noires par minute ; 0 : non précisé</source>
        <translation>Quarter notes a minute; 0: not set</translation>
    </message>
    <message>
        <source>non précisé (4/4)</source>
        <translation>not set (4/4)</translation>
    </message>
    <message>
        <source>&amp;Titre :</source>
        <translation>&amp;Title:</translation>
    </message>
    <message>
        <source>&amp;Compositeur :</source>
        <translation>&amp;Composer:</translation>
    </message>
    <message>
        <source>St&amp;yle :</source>
        <translation>St&amp;yle:</translation>
    </message>
    <message>
        <source>T&amp;onalité :</source>
        <translation>&amp;Key:</translation>
    </message>
    <message>
        <source>Te&amp;mpo :</source>
        <translation>Tem&amp;po:</translation>
    </message>
    <message>
        <source>C&amp;hiffrage :</source>
        <translation>T&amp;ime signature:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Annuler</source>
        <comment>button</comment>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>non précisée</source>
        <translation>not set</translation>
    </message>
    <message>
        <source>non précisée (détectée : %1)</source>
        <translation>not set (detected: %1)</translation>
    </message>
    <message>
        <source>%1 mineur</source>
        <translation>%1 minor</translation>
    </message>
    <message>
        <source>%1 majeur</source>
        <translation>%1 major</translation>
    </message>
</context>
<context>
    <name>mavrel::SongbookDialog</name>
    <message>
        <source>Recueil</source>
        <translation>Songbook</translation>
    </message>
    <message>
        <source>Comme la liste l&apos;indique</source>
        <translation>As the list says</translation>
    </message>
    <message>
        <source>&amp;Nom :</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>Grilles par &amp;page :</source>
        <translation>Charts per &amp;page:</translation>
    </message>
    <message>
        <source>P&amp;artie :</source>
        <translation>P&amp;art:</translation>
    </message>
    <message>
        <source>Morceaux :</source>
        <translation>Songs:</translation>
    </message>
    <message>
        <source>Manquants :</source>
        <translation>Missing:</translation>
    </message>
    <message>
        <source>Mémoire insuffisante pour créer le document.</source>
        <translation>Not enough memory to make the document.</translation>
    </message>
    <message>
        <source>Enregistrer le recueil</source>
        <translation>Save the songbook</translation>
    </message>
    <message>
        <source>Documents PDF (*.pdf)</source>
        <translation>PDF documents (*.pdf)</translation>
    </message>
    <message>
        <source>Recueil enregistré dans « %1 ».</source>
        <translation>Songbook saved in “%1”.</translation>
    </message>
    <message>
        <source>Recueil envoyé à « %1 ».</source>
        <translation>Songbook sent to “%1”.</translation>
    </message>
    <message>
        <source>&amp;Enregistrer en PDF…</source>
        <translation>&amp;Save as PDF…</translation>
    </message>
    <message>
        <source>&amp;Imprimer…</source>
        <translation>Pr&amp;int…</translation>
    </message>
    <message>
        <source>&amp;Fermer</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>mavrel::Transport</name>
    <message>
        <source>Lire / Pause (Espace)</source>
        <translation>Play / Pause (Space)</translation>
    </message>
    <message>
        <source>Boucle</source>
        <translation>Loop</translation>
    </message>
    <message>
        <source>Une mesure de clic avant la musique</source>
        <translation>A bar of click before the music</translation>
    </message>
    <message>
        <source>Dans la grille</source>
        <translation>Into the chart</translation>
    </message>
    <message>
        <source>Enregistrer le tempo et le style dans la grille</source>
        <translation>Save the tempo and the style into the chart</translation>
    </message>
    <message>
        <source>Mélangeur</source>
        <translation>Mixer</translation>
    </message>
    <message>
        <source>Lecture</source>
        <translation>Playback</translation>
    </message>
    <message>
        <source>Tempo</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <source>Tempo : noires par minute</source>
        <translation>Tempo: quarter notes a minute</translation>
    </message>
    <message>
        <source>Style de l&apos;accompagnement</source>
        <translation>Style of the band</translation>
    </message>
    <message>
        <source>Swing</source>
        <translation>Swing</translation>
    </message>
    <message>
        <source>Ballade</source>
        <translation>Ballad</translation>
    </message>
    <message>
        <source>Bossa nova</source>
        <translation>Bossa nova</translation>
    </message>
    <message>
        <source>Latin</source>
        <translation>Latin</translation>
    </message>
    <message>
        <source>Pop</source>
        <translation>Pop</translation>
    </message>
    <message>
        <source>Funk</source>
        <translation>Funk</translation>
    </message>
    <message>
        <source>Valse</source>
        <translation>Waltz</translation>
    </message>
    <message>
        <source>Shuffle</source>
        <translation>Shuffle</translation>
    </message>
    <message>
        <source>Chargement des sons…</source>
        <translation>Loading the sounds…</translation>
    </message>
    <message>
        <source>Grille (%1)</source>
        <translation>Chart (%1)</translation>
    </message>
    <message>
        <source>l&apos;enregistrement du tempo et du style</source>
        <translation>saving the tempo and the style</translation>
    </message>
    <message>
        <source>&amp;Lire / Pause</source>
        <translation>&amp;Play / Pause</translation>
    </message>
    <message>
        <source>&amp;Arrêter</source>
        <translation>&amp;Stop</translation>
    </message>
    <message>
        <source>Lire &amp;depuis la mesure sélectionnée</source>
        <translation>Play from the Selected &amp;Bar</translation>
    </message>
    <message>
        <source>&amp;Boucler sur la sélection</source>
        <translation>&amp;Loop the Selection</translation>
    </message>
    <message>
        <source>Dé&amp;compte</source>
        <translation>Cou&amp;nt-in</translation>
    </message>
    <message>
        <source>&amp;Enregistrer dans la grille</source>
        <translation>Save &amp;into the Chart</translation>
    </message>
    <message>
        <source>&amp;Mélangeur…</source>
        <translation>&amp;Mixer…</translation>
    </message>
    <message>
        <source>Le&amp;cture</source>
        <translation>&amp;Play</translation>
    </message>
</context>
<context>
    <name>mavrel::TransposeDialog</name>
    <message>
        <source>Transposeur</source>
        <translation>Transposer</translation>
    </message>
    <message>
        <source>garder</source>
        <translation>keep</translation>
    </message>
    <message>
        <source>bémols</source>
        <translation>flats</translation>
    </message>
    <message>
        <source>dièses</source>
        <translation>sharps</translation>
    </message>
    <message>
        <source>selon la tonalité</source>
        <translation>by the key</translation>
    </message>
    <message>
        <source>Demi-tons</source>
        <translation>Semitones</translation>
    </message>
    <message>
        <source>&amp;Altérations :</source>
        <translation>&amp;Accidentals:</translation>
    </message>
</context>
</TS>
