#include "ui/HelpPages.h"

#include <array>
#include <cstddef>

// Every caption, message and file name quoted in «» is the one the screen shows; when a screen
// changes, its page here must change with it.
namespace scortavia {
namespace {

constexpr std::string_view kOverview[] = {
    "Scortavia tiene il magazzino di un piccolo negozio: una scheda per ogni prodotto, con foto e documenti "
    "allegati, le operazioni di carico (la merce che arriva dai fornitori) e di scarico (la merce che esce verso i "
    "clienti) registrate anno per anno, i riepiloghi di un periodo, l'inventario con il valore della merce, i "
    "listini prezzi illustrati da stampare e l'esportazione dei dati in un foglio di Excel. Questa pagina ti "
    "accompagna in un primo giro; ogni ambiente di lavoro ha poi un pulsante con il punto interrogativo che apre "
    "la sua pagina di guida.",

    "All'avvio compare la finestra «Scortavia - Autenticazione». Scrivi la password nella casella e premi «OK» "
    "oppure Invio: il pulsante si attiva appena scrivi qualcosa. Se la password non è giusta compare «Attenzione: "
    "password errata.» e la casella si svuota per un nuovo tentativo; «Esci» chiude il programma. Le lettere dalla "
    "a alla z valgono sia maiuscole sia minuscole, le lettere accentate invece vanno scritte come sono state "
    "scelte, e gli spazi all'inizio e alla fine non contano.",

    "Dopo l'installazione la password è SCORTAVIA (puoi scriverla anche in minuscolo): cambiala subito, perché è "
    "uguale per tutte le installazioni. Premi «Cambia password», scrivi la password attuale in «Vecchia "
    "password:», la nuova in «Nuova password:» e ripetila identica in «Conferma nuova password:», poi premi «OK». "
    "Se tutto è in ordine compare «Modifica della password completata con successo.» e torni alla finestra di "
    "accesso; se la vecchia password è sbagliata o la conferma non coincide il programma lo dice, e la password "
    "resta quella di prima. La nuova password può avere fino a 255 caratteri tra lettere, cifre e simboli "
    "dell'alfabeto latino. La password è conservata nel file «unins000.dll» della cartella del programma: non "
    "cancellarlo e non spostarlo, perché senza quel file non è più possibile entrare.",

    "Dopo l'accesso si apre il menu principale con sei riquadri: si entra in un ambiente facendo clic sulla figura "
    "o sulla scritta sotto di essa. «MAGAZZINO PRODOTTI» apre la scheda dei prodotti, con codice, nome, costo, "
    "prezzo, giacenza, foto, fornitore e pagamento. «OPERAZIONI DI CARICO» e «OPERAZIONI DI SCARICO» chiedono "
    "l'anno e aprono le schede della merce ricevuta e di quella venduta; dallo stesso menu dell'anno si apre anche "
    "il riepilogo dei movimenti di un periodo. «INVENTARIO MERCE» elenca i prodotti, tutti o di una categoria, con "
    "il valore della merce in magazzino. «CREA NUOVO LISTINO» e «APRI LISTINO ESISTENTE» creano e aprono i "
    "listini prezzi, fatti di pagine di otto prodotti con foto e prezzo.",

    "In fondo al menu principale, l'icona con il punto interrogativo apre questa guida, l'icona con la «i» mostra "
    "le informazioni sul programma, la striscia centrale apre il sito www.scortavia.it e l'icona arancione a "
    "destra chiude il programma. Nelle schede, se passi con il mouse sopra un pulsante, la riga in fondo alla "
    "finestra spiega a che cosa serve; il tasto Invio porta al campo successivo e «Esci» riporta al menu "
    "principale. I numeri decimali si scrivono con la virgola (12,50) e le date nella forma gg/mm/aaaa. Nelle "
    "ricerche le lettere maiuscole e minuscole si equivalgono, tranne quelle accentate.",

    "Tutto si fa anche con la tastiera. Nel menu principale Tab e le frecce passano da un riquadro all'altro, "
    "Invio o la barra spaziatrice lo aprono. Nelle schede i pulsanti in alto rispondono a questi tasti, in "
    "qualunque campo ti trovi: Ctrl+N «Nuovo», Ctrl+Maiusc+D «Duplica», Ctrl+S «Salva», Ctrl+F «Trova», "
    "Ctrl+Maiusc+P «Anteprima», Ctrl+P «Stampa», Ctrl+Maiusc+A gli allegati, F7 «Sottoscorta», F8 «Da saldare», "
    "Ctrl+Maiusc+E «Esporta», Ctrl+Maiusc+I «Importa» e F1 «Guida»; Ctrl+PagSu e Ctrl+PagGiù mostrano la scheda "
    "precedente e la successiva, Alt+Home e Alt+Fine la prima e l'ultima. Nelle schede di carico e scarico "
    "Ctrl+Maiusc+I apre l'importazione dei dati dal magazzino e F9 calcola il totale; nel listino Ctrl+Maiusc+I "
    "importa un articolo nel riquadro in cui ti trovi. Su un pulsante Invio lo preme; in un "
    "elenco Invio sulla riga scelta fa quello che fa il doppio clic; in una griglia Tab passa da una cella "
    "all'altra e Ctrl+Tab esce dalla griglia; Esc chiude le finestre di dialogo.",

    "Il programma non chiede mai conferma prima di abbandonare una scheda: uscendo, passando a un'altra scheda o "
    "premendo «Nuovo», le modifiche non salvate vanno perse senza avviso, e lo stesso accade chiudendo il "
    "programma. Premi sempre «Salva» quando hai finito. Le schede salvate non si cancellano: una scheda sbagliata "
    "si corregge e si salva di nuovo.",

    "Tutti i dati stanno nella cartella in cui si trova il programma: «Magazzino.pro» con le schede dei prodotti, "
    "un archivio per anno per i carichi e uno per gli scarichi (per il 2024 sono «2024.odc» e «2024.ods»), un file "
    "«.lis» per ogni listino prezzi, le foto dei prodotti (un file «.jpg» per scheda, chiamato con il numero della "
    "scheda, per esempio «7.jpg»), la cartella «Foto_Listino» con le foto dei listini e la cartella "
    "«Documenti_Allegati» con i documenti allegati alle schede. Per fare una copia di sicurezza chiudi il "
    "programma e copia l'intera cartella, per esempio su una chiavetta USB o su un disco esterno; per ripristinarla "
    "rimetti la copia al suo posto. Ripeti la copia spesso, per esempio ogni sera.",

    "Proprio perché tutto è nella sua cartella, il programma funziona anche da una chiavetta USB: copia la cartella "
    "sulla chiavetta, avvia il programma da lì e porti con te tutti i dati. La cartella può stare anche in una "
    "cartella condivisa di rete, e più computer possono lavorare insieme sugli stessi archivi. Mentre il programma "
    "modifica una scheda la blocca per un istante: così due postazioni che salvano nello stesso momento non si "
    "sovrascrivono, le nuove schede vengono aggiunte tutte e le giacenze aggiornate dai carichi e dagli scarichi "
    "tengono conto di ogni postazione. Se però due persone cambiano la stessa scheda nello stesso momento, resta "
    "quella salvata per ultima. In ogni caso serve il permesso di scrittura sulla cartella; senza, il programma "
    "avvisa «Attenzione: il sistema non permette di accedere all'archivio.»",
};

constexpr std::string_view kProducts[] = {
    "Questo ambiente si apre dal riquadro «MAGAZZINO PRODOTTI» del menu principale e conserva una scheda per ogni "
    "prodotto nell'archivio «Magazzino.pro». La finestra si apre sempre su una scheda nuova e vuota, e la riga in "
    "fondo dice «Pronto per archiviare una nuova scheda...» I campi sono «Codice articolo:», «Costo unitario:» "
    "(quanto paghi il prodotto), «Nome prodotto:», «Giacenza:» (i pezzi in magazzino), «Avviso n.», «Aspetto "
    "esteriore del bene:», «Categoria merceologica:», «Caratteristiche:», «Collocazione in magazzino:», «Ditta "
    "fornitrice:», «Agente:», «Recapito telefonico:», «Documento di acquisto:», «Modalità di pagamento:» con la "
    "casella «Pagato», «Data scadenza:», «Note:» e «Prezzo di vendita:». Con Invio passi al campo successivo.",

    "Quando la scheda è compilata premi «Salva». Sono obbligatori il codice articolo, il costo unitario, il nome "
    "del prodotto, l'aspetto esteriore del bene, la categoria merceologica, le caratteristiche e il prezzo di "
    "vendita: se ne manca uno il programma lo dice (per esempio «Attenzione: per salvare la scheda è necessario "
    "indicare il codice articolo.») e porta il cursore sul campo. Nel costo e nel prezzo si scrivono cifre e "
    "virgola, e all'uscita dal campo il valore viene arrotondato a due decimali; giacenza e avviso accettano solo "
    "cifre. Una scheda nuova viene aggiunta in fondo all'archivio («La scheda corrente è stata inserita in "
    "archivio.»), una scheda già salvata viene aggiornata («Le modifiche apportate alla scheda corrente sono state "
    "salvate in archivio.»). «Nuovo» prepara una scheda vuota. Il programma non controlla che il codice sia unico: "
    "dai a ogni prodotto un codice diverso.",

    "Le quattro frecce sotto la foto mostrano la prima scheda, la precedente, la successiva e l'ultima; tra le "
    "frecce, accanto a «Scheda n.», c'è il numero della scheda nell'archivio. Da una scheda nuova sia la freccia "
    "indietro sia quella avanti portano alla prima scheda; con l'archivio vuoto compare «L'archivio non contiene "
    "nessuna scheda.» «Trova» apre «Trova prodotti in magazzino»: scrivi una o più parole consecutive in uno o più "
    "dei dieci campi (codice, costo, nome, categoria, caratteristiche, collocazione, ditta, agente, documento, "
    "note) e premi «Cerca». Compaiono, in ordine di codice, i prodotti che contengono tutto ciò che hai scritto; "
    "nella casella sopra l'elenco puoi cercare una voce con «Trova» (premilo di nuovo per la voce successiva), con "
    "un doppio clic porti il prodotto nella scheda, «Stampa» stampa l'elenco e «Chiudi» chiude la finestra.",

    "Puoi scrivere la giacenza direttamente nel campo, oppure usare i pulsanti «+» e «−» accanto. Si apre "
    "«Aggiornamento giacenza» con la «Giacenza attuale:» e la «Quantità da aggiungere:» (o «Quantità da "
    "sottrarre:»): scrivi la quantità, premi «Calcola totale» per vedere il risultato e «Applica e chiudi» per "
    "scriverlo nella scheda, oppure «Annulla». La giacenza può andare da -999 a 9999 pezzi; un risultato fuori da "
    "questi limiti viene rifiutato con un avviso. Il nuovo valore è solo sullo schermo finché non premi «Salva». "
    "Le operazioni di carico e di scarico, quando importano i dati di un prodotto, ne aggiornano la giacenza da "
    "sole.",

    "In «Avviso n.» scrivi quanti pezzi rimasti bastano per dare l'allarme: un prodotto con la giacenza uguale o "
    "inferiore a questo numero compare nell'elenco «Sottoscorta» (finestra «Merce in esaurimento»), con codice, nome, "
    "categoria, giacenza, spunta «Pagato», scadenza e costo; con giacenza 0 e avviso 0 il prodotto compare. La "
    "casella «Pagato» va spuntata quando l'acquisto è stato pagato: «Da saldare» (finestra «Riepilogo pagamenti non "
    "saldati») elenca i prodotti senza spunta, con la ditta fornitrice e la scadenza. In entrambi gli elenchi un "
    "doppio clic porta il prodotto nella scheda. Per la «Data scadenza:» fai clic nel campo e premi un tasto "
    "qualsiasi: nel calendario «Importazione data» scegli il giorno e premi «Importa» (oppure fai doppio clic sul "
    "giorno); la piccola x grigia accanto al campo, o il tasto Canc, cancella la data.",

    "A destra c'è la foto. «Carica foto» prende un'immagine JPEG o Bitmap dal disco; «Acquisisci foto» apre «Cattura "
    "foto con webcam», dove premi «Accendi webcam», poi «Cattura foto» quando l'inquadratura ti piace e infine "
    "«Importa foto in scheda» («Salva foto su disco» ne salva invece una copia, «Annulla» chiude senza cambiare "
    "nulla). Le tre piccole icone sotto la foto servono a salvarne una copia JPEG dove vuoi (il dischetto), a "
    "vederla a tutto schermo (la lente: un clic chiude la finestra) e a toglierla (il cestino, che rimette "
    "l'immagine «Nessuna foto»). La foto viene registrata solo con «Salva», in un file che porta il numero della "
    "scheda (la scheda n. 7 ha la foto «7.jpg») nella cartella del programma.",

    "«Allegati» apre «Allega file», dove colleghi alla scheda fino a tre documenti, ognuno con la sua descrizione. "
    "Con «Sfoglia...» scegli il file: il programma lo copia subito nella cartella «Documenti_Allegati»; se lì c'è "
    "già un file con lo stesso nome ti chiede se sovrascriverlo, e se rispondi di no la scheda userà il file già "
    "presente. «Apri» apre il documento con il suo programma, il cestino lo toglie dalla scheda (il file resta "
    "nella cartella). Premi «Applica e chiudi» e poi «Salva». «Duplica» trasforma la scheda salvata che hai sullo "
    "schermo in una scheda nuova con gli stessi dati, senza foto e senza allegati: cambia quello che serve e premi "
    "«Salva» per aggiungerla all'archivio.",

    "«Stampa» apre «Stampa scheda»: scegli «Stampa dati con foto.» oppure «Stampa dati senza foto.» (che lascia "
    "uno spazio per gli appunti) e premi «Stampa» per arrivare alla finestra della stampante. «Anteprima» offre le "
    "stesse due scelte e con «Mostra anteprima» mostra il foglio sullo schermo, dove puoi cambiare lo zoom, passare a "
    "«Schermo intero», stampare con «Stampa...» o chiudere con «Chiudi». Il foglio A4 «SCHEDA PRODOTTO» riporta i "
    "dati della scheda così come sono sullo schermo, anche se non ancora salvati, il valore totale (costo unitario "
    "per giacenza), la data e l'ora di stampa. «Esporta» porta l'archivio in un foglio di Excel (ha la sua pagina "
    "di guida) e «Esci» torna al menu principale.",
};

constexpr std::string_view kGoodsIn[] = {
    "Le operazioni di carico registrano la merce che arriva dai fornitori, con una scheda per ogni articolo "
    "ricevuto. Dal menu principale fai clic su «OPERAZIONI DI CARICO»: si apre il menu dell'anno. In «Inserimento "
    "schede di carico:» trovi già l'anno in corso nel campo «Anno:»; premi «Apri» per lavorare sulle schede di "
    "quell'anno, oppure scrivi prima un altro anno con quattro cifre (altrimenti compare «Attenzione: indicare "
    "l'anno solare utilizzando quattro cifre.»). Ogni anno ha un archivio a sé, il file con l'anno ed estensione "
    "«.odc» (per esempio «2024.odc»), creato la prima volta che lo usi; la barra del titolo della scheda mostra "
    "l'anno aperto. La parte «Riepilogo movimenti di carico:» apre il riepilogo di un periodo, che ha la sua pagina "
    "di guida, e l'icona arancione riporta al menu principale.",

    "In alto nella scheda vanno i dati del documento: «Documento n.», «Data emissione:», «Fornitore:» e «Recapito "
    "preferenziale:». Sotto la riga vanno i dati della merce: «Data carico:» (già impostata a oggi), «Codice "
    "articolo:», «Tipologia:», «Marca e modello:», «Descrizione:», «Costo unitario: €», «Quantità caricata:», "
    "«Costo totale: €», «Note:» e la casella «Conto da saldare». Le date si prendono dal calendario: fai clic nel "
    "campo, premi un tasto qualsiasi, scegli il giorno e premi «Importa» (il tasto Canc cancella la data). Sono "
    "obbligatori il fornitore, la data di carico, il codice articolo, la tipologia e la descrizione; se ne manca "
    "uno il programma lo dice, per esempio «Attenzione: per salvare la scheda è necessario indicare il nome del "
    "fornitore.»",

    "Il modo più rapido per compilare la scheda è il pulsante «importa dati» accanto al codice. Si apre «Importa "
    "dati da magazzino» con l'elenco dei prodotti in ordine di codice; fai clic su un prodotto e sopra compaiono "
    "il codice, il nome e la «Giacenza attuale:». Scrivi la quantità ricevuta in «Quantità da caricare:» e premi "
    "«Importa dati e aggiorna giacenza»: la giacenza del prodotto aumenta subito di quella quantità e la scheda si "
    "riempie con il codice, la tipologia (la categoria del prodotto), la marca e modello (il nome del prodotto), la "
    "descrizione (le sue caratteristiche), il costo unitario (il costo della scheda prodotto) e la quantità. Se "
    "usi la casella «Trova» dell'elenco, il prodotto scelto viene deselezionato: fai di nuovo clic su quello "
    "giusto.",

    "Attenzione: la giacenza cambia nel momento dell'importazione, non quando salvi. Se importi due volte lo stesso "
    "prodotto la giacenza aumenta due volte, e se poi non salvi la scheda o cambi a mano la quantità la giacenza non "
    "torna indietro: correggila dalla scheda del prodotto con i pulsanti «+» e «−». Compilare la scheda a mano, "
    "senza importare, non cambia la giacenza. L'importazione viene rifiutata, con un avviso e senza toccare la "
    "giacenza, se la quantità non è un numero, se la nuova giacenza supererebbe 9999 pezzi o se nel frattempo un'altra "
    "postazione ha cambiato il codice di quel prodotto. Viene rifiutata allo stesso modo una quantità più lunga dei 15 "
    "caratteri che la casella «Quantità caricata:» della scheda può contenere.",

    "Il costo unitario accetta cifre e virgola e viene arrotondato a quattro decimali, la quantità accetta solo "
    "numeri interi. «Calcola», accanto al costo totale, moltiplica il costo unitario per la quantità e arrotonda a "
    "due decimali; lo stesso calcolo viene rifatto comunque a ogni salvataggio, quindi un costo totale scritto a "
    "mano viene sostituito. Un costo totale oltre 999999999999,99 (più di 15 caratteri) non entra nella scheda: "
    "«Calcola» e «Salva» lo segnalano con un avviso e la scheda non viene salvata finché non correggi il costo "
    "unitario o la quantità. «Salva» aggiunge la scheda in fondo all'archivio dell'anno o aggiorna quella già "
    "salvata, «Nuovo» prepara una scheda vuota e «Duplica» trasforma la scheda salvata sullo schermo in una "
    "scheda nuova con gli stessi dati ma senza allegati, comoda per una consegna che si ripete (duplicare non "
    "cambia la giacenza). Ricorda che le modifiche non salvate si perdono cambiando scheda o uscendo con «Esci».",

    "Le frecce nella barra dei pulsanti scorrono le schede dell'anno, con il numero della scheda accanto a «Scheda "
    "n.» «Trova» apre «Trova operazioni di carico in archivio»: riempi uno o più campi («Documento n.», «Data "
    "emissione (gg/mm/aaaa):», «Data carico (gg/mm/aaaa):», «Codice articolo:», «Tipologia:», «Marca e modello:», "
    "«Descrizione:», «Costo unitario: €», «Fornitore:», «Note:») e premi «Cerca». L'elenco mostra, nell'ordine in "
    "cui sono state registrate, le schede che contengono quanto scritto, con data, codice, quantità, tipologia, "
    "descrizione e totale; un doppio clic porta la scheda sullo schermo. Spunta «Conto da saldare» quando la merce "
    "non è ancora pagata: «Da saldare» apre il «Riepilogo conti da saldare» con le schede spuntate, e a pagamento "
    "fatto fai doppio clic sulla riga, togli la spunta e salva la scheda. Ricerche ed elenchi riguardano solo l'anno "
    "aperto.",

    "«Allega file» collega alla scheda fino a tre documenti, per esempio la bolla o la fattura, che vengono copiati "
    "nella cartella «Documenti_Allegati»; dopo «Applica e chiudi» premi «Salva». «Stampa» apre «Stampa scheda»: "
    "premi «Stampa» per arrivare alla finestra della stampante oppure «Annulla». Il foglio «SCHEDA CARICO MERCE» "
    "riporta tutti i campi così come sono sullo schermo, anche se non ancora salvati, con la data e l'ora di "
    "stampa; la casella «Conto da saldare» e gli allegati non vengono stampati. «Esporta» porta le schede "
    "dell'anno aperto in un foglio di Excel e ha la sua pagina di guida.",
};

constexpr std::string_view kGoodsOut[] = {
    "Le operazioni di scarico registrano la merce che esce, cioè le vendite ai clienti, con una scheda per ogni "
    "articolo venduto. Dal menu principale fai clic su «OPERAZIONI DI SCARICO»: si apre il menu dell'anno. In "
    "«Inserimento schede di scarico:» trovi già l'anno in corso nel campo «Anno:»; premi «Apri» per lavorare sulle "
    "schede di quell'anno, oppure scrivi prima un altro anno con quattro cifre (altrimenti compare «Attenzione: "
    "indicare l'anno solare utilizzando quattro cifre.»). Ogni anno ha un archivio a sé, il file con l'anno ed "
    "estensione «.ods» (per esempio «2024.ods»), creato la prima volta che lo usi; la barra del titolo della scheda "
    "mostra l'anno aperto. La parte «Riepilogo movimenti di scarico:» apre il riepilogo di un periodo, che ha la "
    "sua pagina di guida, e l'icona arancione riporta al menu principale.",

    "In alto nella scheda vanno i dati del documento: «Documento n.», «Data emissione:», «Cliente:» e «Telefono "
    "preferenziale:». Sotto la riga vanno i dati della merce: «Data scarico:» (già impostata a oggi), «Codice "
    "articolo:», «Tipologia:», «Marca e modello:», «Descrizione:», «Prezzo unitario:», «Quantità scaricata:», "
    "«Prezzo totale:», «Note:» e la casella «Conto da saldare». Le date si prendono dal calendario: fai clic nel "
    "campo, premi un tasto qualsiasi, scegli il giorno e premi «Importa» (il tasto Canc cancella la data). Sono "
    "obbligatori il cliente, la data di scarico, il codice articolo, la tipologia e la descrizione; se ne manca uno "
    "il programma lo dice, per esempio «Attenzione: per salvare la scheda è necessario indicare il nome del "
    "cliente.»",

    "Il modo più rapido per compilare la scheda è il pulsante «importa dati» accanto al codice. Si apre «Importa "
    "dati da magazzino» con l'elenco dei prodotti in ordine di codice, ognuno con il suo prezzo di vendita; fai clic "
    "su un prodotto e sopra compaiono il codice, il nome e la «Giacenza attuale:». Scrivi la quantità venduta in "
    "«Quantità da scaricare:» e premi «Importa dati e aggiorna giacenza»: la giacenza del prodotto diminuisce "
    "subito di quella quantità e la scheda si riempie con il codice, la tipologia (la categoria del prodotto), la "
    "marca e modello (il nome del prodotto), la descrizione (le sue caratteristiche), il prezzo unitario (il prezzo "
    "di vendita della scheda prodotto) e la quantità. Se usi la casella «Trova» dell'elenco, il prodotto scelto "
    "viene deselezionato: fai di nuovo clic su quello giusto.",

    "Attenzione: la giacenza cambia nel momento dell'importazione, non quando salvi. Se importi due volte lo stesso "
    "prodotto la giacenza diminuisce due volte, e se poi non salvi la scheda o cambi a mano la quantità la giacenza "
    "non torna indietro: correggila dalla scheda del prodotto con i pulsanti «+» e «−». Compilare la scheda a mano, "
    "senza importare, non cambia la giacenza. La giacenza può scendere sotto zero, fino a -999 pezzi; "
    "l'importazione viene rifiutata, con un avviso e senza toccare la giacenza, se la quantità non è un numero, se la "
    "nuova giacenza andrebbe oltre questo limite o se nel frattempo un'altra postazione ha cambiato il codice di quel "
    "prodotto. Viene rifiutata allo stesso modo una quantità più lunga dei 15 caratteri che la casella «Quantità "
    "scaricata:» della scheda può contenere.",

    "Il prezzo unitario accetta cifre e virgola e viene arrotondato a quattro decimali, la quantità accetta solo "
    "numeri interi. «Calcola», accanto al prezzo totale, moltiplica il prezzo unitario per la quantità e arrotonda a "
    "due decimali; lo stesso calcolo viene rifatto comunque a ogni salvataggio, quindi un prezzo totale scritto a "
    "mano viene sostituito. Un prezzo totale oltre 999999999999,99 (più di 15 caratteri) non entra nella scheda: "
    "«Calcola» e «Salva» lo segnalano con un avviso e la scheda non viene salvata finché non correggi il prezzo "
    "unitario o la quantità. «Salva» aggiunge la scheda in fondo all'archivio dell'anno o aggiorna quella già "
    "salvata, «Nuovo» prepara una scheda vuota e «Duplica» trasforma la scheda salvata sullo schermo in una "
    "scheda nuova con gli stessi dati ma senza allegati, comoda per una vendita che si ripete (duplicare non cambia "
    "la giacenza). Ricorda che le modifiche non salvate si perdono cambiando scheda o uscendo con «Esci».",

    "Le frecce nella barra dei pulsanti scorrono le schede dell'anno, con il numero della scheda accanto a «Scheda "
    "n.» «Trova» apre «Trova operazioni di scarico in archivio»: riempi uno o più campi («Documento n.», «Data "
    "emissione (gg/mm/aaaa):», «Data scarico (gg/mm/aaaa):», «Codice articolo:», «Tipologia:», «Marca e modello:», "
    "«Descrizione:», «Prezzo unitario: €», «Cliente:», «Note:») e premi «Cerca». L'elenco mostra, nell'ordine in cui "
    "sono state registrate, le schede che contengono quanto scritto, con data, codice, quantità, tipologia, "
    "descrizione e totale; un doppio clic porta la scheda sullo schermo. Spunta «Conto da saldare» quando il cliente "
    "deve ancora pagare: «Da saldare» apre il «Riepilogo conti da saldare» con le schede spuntate, e a pagamento "
    "ricevuto fai doppio clic sulla riga, togli la spunta e salva la scheda. Ricerche ed elenchi riguardano solo "
    "l'anno "
    "aperto.",

    "«Allega file» collega alla scheda fino a tre documenti, per esempio lo scontrino o la fattura, che vengono "
    "copiati nella cartella «Documenti_Allegati»; dopo «Applica e chiudi» premi «Salva». «Stampa» apre «Stampa "
    "scheda»: premi «Stampa» per arrivare alla finestra della stampante oppure «Annulla». Il foglio «SCHEDA SCARICO "
    "MERCE» riporta tutti i campi così come sono sullo schermo, anche se non ancora salvati, con la data e l'ora di "
    "stampa; la casella «Conto da saldare» e gli allegati non vengono stampati. «Esporta» porta le schede "
    "dell'anno aperto in un foglio di Excel e ha la sua pagina di guida.",
};

constexpr std::string_view kGoodsInSummary[] = {
    "Il riepilogo elenca le operazioni di carico registrate in un periodo dell'anno, per un solo articolo o per "
    "tutta la merce, con il numero delle operazioni e l'importo totale. Per aprirlo fai clic su «OPERAZIONI DI "
    "CARICO» nel menu principale e, nella parte «Riepilogo movimenti di carico:», controlla l'anno (quattro cifre) "
    "e premi «Apri».",

    "Si apre la finestra «Scortavia - Riepilogo movimenti di carico merce». Il campo «Anno:» contiene l'anno scelto "
    "e puoi ancora cambiarlo. In «Codice articolo:» scrivi il codice del prodotto che ti interessa, oppure lascialo "
    "vuoto per riepilogare tutta la merce; il codice scritto viene cercato all'interno dei codici delle schede, "
    "senza distinguere maiuscole e minuscole, quindi «A12» comprende anche «A120» e «XA12». Poi scegli il periodo: "
    "in «Data inizio intervallo:» e in «Data fine intervallo:» prendi il «Giorno:» e il «Mese:» dagli elenchi a "
    "discesa, mentre l'anno accanto è quello del campo «Anno:». Il periodo sta dentro un solo anno, comprende i due "
    "giorni indicati e può essere anche di un giorno solo.",

    "Premi «Visualizza riepilogo». Il programma controlla che l'anno abbia quattro cifre, che giorni e mesi siano "
    "stati scelti tutti e quattro (per esempio «Attenzione: indicare il giorno di inizio intervallo selezionandolo "
    "dall'elenco a cascata.»), che le date esistano (scegliendo 31 e Aprile compare «Attenzione: la data 31/04/2024 di "
    "inizio intervallo non esiste.») e che la fine non venga prima dell'inizio. Mentre il riepilogo si prepara compare "
    "«Caricamento riepilogo in corso. Attendere...» «Esci» torna al menu principale.",

    "In cima al riepilogo trovi «Codice articolo:» (il codice scelto, oppure «Tutti gli articoli»), «Intervallo "
    "selezionato:», «Numero operazioni:» e «Importo totale:», cioè la somma in euro dei costi totali delle schede "
    "elencate. Ogni riga è una scheda di carico con «Data:», «Cod.» (codice articolo), «Quant.» (quantità), «Tipo» "
    "(tipologia), la descrizione e «Tot. €» (costo totale). Le righe sono nell'ordine in cui le schede sono state "
    "registrate, non in ordine di data. Per trovare una riga scrivi una o più parole nella casella e premi «Trova»; "
    "premilo di nuovo per la riga successiva con le stesse parole.",

    "«Stampa riepilogo» chiede «Si vuole stampare il presente riepilogo?» e, se rispondi di sì, apre la finestra "
    "della stampante; se il riepilogo è vuoto compare invece «Operazione di stampa non applicabile: il riepilogo "
    "non contiene nessuna voce.» Il foglio, in orizzontale, ha il titolo «Movimenti di carico merce - Codice "
    "articolo:» seguito dal codice, le righe, l'intervallo, il numero delle operazioni, l'importo totale e la data "
    "di stampa. «Esci» chiude il riepilogo e ti riporta alla scelta del periodo, pronta per un altro intervallo.",

    "Se una scheda ha una data o un costo totale che non si riesce a leggere (può capitare solo con un archivio "
    "danneggiato o scritto da un altro programma), viene lasciata fuori e un avviso dice quante sono e la loro "
    "posizione in archivio, aggiungendo «Il totale riguarda soltanto le voci elencate.» La posizione è il numero "
    "che la scheda mostra accanto a «Scheda n.»: aprila dalle operazioni di carico dello stesso anno, correggi la "
    "data o il costo e salvala.",
};

constexpr std::string_view kGoodsOutSummary[] = {
    "Il riepilogo elenca le operazioni di scarico, cioè le vendite, registrate in un periodo dell'anno, per un "
    "solo articolo o per tutta la merce, con il numero delle operazioni e l'importo totale. Per aprirlo fai clic su "
    "«OPERAZIONI DI SCARICO» nel menu principale e, nella parte «Riepilogo movimenti di scarico:», controlla l'anno "
    "(quattro cifre) e premi «Apri».",

    "Si apre la finestra «Scortavia - Riepilogo movimenti di scarico merce». Il campo «Anno:» contiene l'anno "
    "scelto e puoi ancora cambiarlo. In «Codice articolo:» scrivi il codice del prodotto che ti interessa, oppure "
    "lascialo vuoto per riepilogare tutta la merce; il codice scritto viene cercato all'interno dei codici delle "
    "schede, senza distinguere maiuscole e minuscole, quindi «A12» comprende anche «A120» e «XA12». Poi scegli il "
    "periodo: in «Data inizio intervallo:» e in «Data fine intervallo:» prendi il «Giorno:» e il «Mese:» dagli "
    "elenchi a discesa, mentre l'anno accanto è quello del campo «Anno:». Il periodo sta dentro un solo anno, "
    "comprende i due giorni indicati e può essere anche di un giorno solo.",

    "Premi «Visualizza riepilogo». Il programma controlla che l'anno abbia quattro cifre, che giorni e mesi siano "
    "stati scelti tutti e quattro (per esempio «Attenzione: indicare il mese di fine intervallo selezionandolo "
    "dall'elenco a cascata.»), che le date esistano (scegliendo 30 e Febbraio compare «Attenzione: la data 30/02/2024 "
    "di fine intervallo non esiste.») e che la fine non venga prima dell'inizio. Mentre il riepilogo si prepara "
    "compare "
    "«Caricamento riepilogo in corso. Attendere...» «Esci» torna al menu principale.",

    "In cima al riepilogo trovi «Codice articolo:» (il codice scelto, oppure «Tutti gli articoli»), «Intervallo "
    "selezionato:», «Numero operazioni:» e «Importo totale:», cioè la somma in euro dei prezzi totali delle schede "
    "elencate. Ogni riga è una scheda di scarico con «Data:», «Cod.» (codice articolo), «Quant.» (quantità), «Tipo» "
    "(tipologia), la descrizione e «Tot. €» (prezzo totale). Le righe sono nell'ordine in cui le schede sono state "
    "registrate, non in ordine di data. Per trovare una riga scrivi una o più parole nella casella e premi «Trova»; "
    "premilo di nuovo per la riga successiva con le stesse parole.",

    "«Stampa riepilogo» chiede «Si vuole stampare il presente riepilogo?» e, se rispondi di sì, apre la finestra "
    "della stampante; se il riepilogo è vuoto compare invece «Operazione di stampa non applicabile: il riepilogo "
    "non contiene nessuna voce.» Il foglio, in orizzontale, ha il titolo «Movimenti di scarico merce - Codice "
    "articolo:» seguito dal codice, le righe, l'intervallo, il numero delle operazioni, l'importo totale e la data "
    "di stampa. «Esci» chiude il riepilogo e ti riporta alla scelta del periodo, pronta per un altro intervallo.",

    "Se una scheda ha una data o un prezzo totale che non si riesce a leggere (può capitare solo con un archivio "
    "danneggiato o scritto da un altro programma), viene lasciata fuori e un avviso dice quante sono e la loro "
    "posizione in archivio, aggiungendo «Il totale riguarda soltanto le voci elencate.» La posizione è il numero "
    "che la scheda mostra accanto a «Scheda n.»: aprila dalle operazioni di scarico dello stesso anno, correggi la "
    "data o il prezzo e salvala.",
};

constexpr std::string_view kInventory[] = {
    "L'inventario elenca i prodotti del magazzino con la loro giacenza e il loro valore, e calcola il valore "
    "complessivo della merce. Si apre dal riquadro «INVENTARIO MERCE» del menu principale. Nel campo «Categoria:» "
    "scrivi una categoria merceologica e premi «Visualizza»; per l'inventario di tutti gli articoli premi "
    "«Visualizza» lasciando il campo vuoto. Mentre l'elenco si prepara compare «Caricamento inventario in corso. "
    "Attendere...» L'icona arancione riporta al menu principale.",

    "La categoria scritta viene cercata all'interno della «Categoria merceologica:» di ogni scheda prodotto, senza "
    "distinguere maiuscole e minuscole: scrivendo «scarpe» entrano sia i prodotti della categoria «Scarpe donna» sia "
    "quelli di «Scarpe uomo». Per avere inventari precisi conviene quindi scrivere le categorie sempre allo stesso "
    "modo nelle schede dei prodotti.",

    "In cima all'elenco trovi «Categoria selezionata:» («Tutti gli articoli in magazzino.» oppure la categoria "
    "scritta) e «Valore totale:»; in fondo alla finestra, la riga «Il presente inventario contiene» dice quanti "
    "articoli sono elencati. Ogni riga "
    "mostra il codice, il nome, «Scad.» (la data di scadenza), «Costo: €» (il costo unitario), «Giacenza:» e "
    "«Valore: €», cioè la giacenza moltiplicata per il costo unitario. Le righe sono in ordine di codice.",

    "Il valore totale è la somma dei valori dei prodotti elencati, in euro con due decimali; un prodotto con "
    "giacenza negativa lo fa diminuire. L'inventario è giusto quanto lo sono le schede: tieni aggiornati giacenza e "
    "costo unitario di ogni prodotto. Se una scheda ha una giacenza o un costo che non si riesce a leggere, viene "
    "lasciata fuori e un avviso dice quante sono e la loro posizione in archivio, cioè il numero accanto a «Scheda "
    "n.» nella scheda del prodotto, dove puoi correggerle.",

    "Per trovare una riga scrivi una o più parole nella casella e premi «Trova»; premilo di nuovo per la riga "
    "successiva con le stesse parole. «Stampa inventario» apre la finestra della stampante: il foglio, in "
    "orizzontale, ha il titolo «Inventario merce - Categoria:» seguito dalla categoria, le righe, il «VALORE "
    "TOTALE:» e la data di stampa. «Esci» chiude l'elenco e ti riporta alla scelta della categoria.",
};

constexpr std::string_view kPriceListFiles[] = {
    "Un listino prezzi è una serie di pagine da stampare, ognuna con otto prodotti, ciascuno con foto, nome, "
    "descrizione, codice e prezzo. Puoi tenere tutti i listini che vuoi, per esempio uno per stagione o per "
    "cliente: ognuno è un file nella cartella del programma, con il nome del listino ed estensione «.lis» (il "
    "listino «Estate» è il file «Estate.lis»), mentre le foto delle sue pagine stanno nella cartella "
    "«Foto_Listino».",

    "Per creare un listino fai clic su «CREA NUOVO LISTINO» nel menu principale. Nella finestra «Creazione listino "
    "prezzi» scrivi il nome in «Nome del nuovo listino prezzi:» e premi «Applica e chiudi» (oppure Invio). "
    " Se tutto va bene compare «Il file di archivio relativo al nuovo listino prezzi è stato creato con "
    "successo.» e torni al menu principale: il listino, ancora vuoto, è pronto nell'elenco di «APRI LISTINO "
    "ESISTENTE». «Annulla» esce senza creare nulla.",

    "Il nome può contenere lettere, anche accentate, cifre, spazi e i comuni segni di punteggiatura; gli spazi "
    "all'inizio e alla fine vengono tolti. La casella non accetta i caratteri \" * / : < > ? \\ ° ç ñ Ç Ñ, il nome "
    "non può iniziare con un punto e non può essere troppo lungo. Se il campo è vuoto compare «Attenzione: per "
    "creare l'archivio è necessario indicare il nome del nuovo listino prezzi.»; se esiste già un listino con "
    "quel nome il programma lo dice e non tocca quello esistente: scegli un altro nome, oppure apri quello che c'è.",

    "Per aprire un listino fai clic su «APRI LISTINO ESISTENTE». La finestra «Apertura listino prezzi» mostra in "
    "ordine alfabetico i file dei listini presenti nella cartella del programma, con sotto una riga che dice quanti "
    "listini sono stati creati. Fai clic sul listino e premi «Apri archivio» (oppure Invio due volte): si apre la "
    "gestione delle sue pagine. Se premi «Apri archivio» senza aver scelto un listino il programma te lo ricorda; "
    "«Annulla» torna al menu principale.",

    "L'elenco mostra tutti i file che finiscono con «.lis», anche quelli arrivati da un altro computer con nomi che "
    "la creazione non accetterebbe: con spazi all'inizio o alla fine, che iniziano con un punto, molto lunghi o con "
    "le lettere accentate scritte alla maniera di Windows. Un listino scritto in rosso non si può aprire: fermando "
    "il mouse sul nome, o premendo «Apri archivio», il programma spiega il perché. Di solito due file hanno lo "
    "stesso nome a parte le maiuscole dell'estensione o gli spazi, come «Estate.lis» e «Estate.LIS»: le foto delle "
    "loro pagine avrebbero gli stessi nomi e salvando una pagina dell'uno si perderebbero le foto dell'altro. "
    "Rinomina allora uno dei due file nella cartella del programma; il cestino, invece, elimina anche un listino "
    "in rosso.",

    "Per eliminare un listino selezionalo nell'elenco e fai clic sull'icona del cestino sotto l'elenco. Il "
    "programma chiede conferma ricordando che il file eliminato non potrà essere recuperato; rispondendo di sì "
    "compare «Il listino prezzi è stato eliminato con successo.» Viene cancellato soltanto il file «.lis»: le "
    "foto delle pagine restano nella cartella «Foto_Listino», nei file che iniziano con il nome del listino (per "
    "esempio «Estate_Foto_A_1.jpg»), e puoi cancellarle a mano se non ti servono più. Se il file non si può "
    "cancellare, per esempio perché la cartella non è scrivibile, il listino resta e un avviso lo spiega.",

    "Per salvare un listino copia il suo file «.lis» e, dalla cartella «Foto_Listino», i file che iniziano con il "
    "suo nome; più semplicemente, copia l'intera cartella del programma come per tutti gli altri dati. Per "
    "portare un listino su un altro computer metti il file «.lis» direttamente nella cartella del programma e le "
    "foto nella sua cartella «Foto_Listino»: il listino comparirà nell'elenco di «APRI LISTINO ESISTENTE». I file "
    "con «_Anteprima_» nel nome sono copie preparate per la stampa e vengono rifatti a ogni anteprima o stampa.",
};

constexpr std::string_view kPriceListEditor[] = {
    "La finestra «Scortavia - Gestione Listino Prezzi» si apre da «Apri archivio» e mostra il nome del listino "
    "sulla fascia nera in alto. Ogni pagina contiene otto riquadri, dalla A alla D nella colonna di sinistra e "
    "dalla E alla H in quella di destra, dall'alto in basso. In ogni riquadro ci sono la foto, il nome del "
    "prodotto, l'aspetto esteriore, le caratteristiche e, in basso, il codice e il prezzo. La finestra si apre su "
    "una pagina nuova e vuota: per vedere le pagine già salvate usa le frecce, tra le quali compare il numero "
    "della pagina.",

    "Nella barra in alto il primo pulsante, il foglio con il segno più, prepara una pagina nuova e vuota; il "
    "secondo, il dischetto, salva la pagina; seguono «Anteprima», «Stampa» e le frecce. A destra ci sono il "
    "pulsante con il punto interrogativo, che apre questa guida, e la porta con la freccia, che torna al menu "
    "principale. Passando con il mouse sopra un pulsante, la riga in fondo alla finestra ne spiega la funzione. Il "
    "tasto Invio passa al campo successivo; dal prezzo del riquadro H si torna al nome del riquadro A.",

    "Puoi scrivere i dati a mano: nel prezzo si scrivono cifre e virgola, e il valore viene arrotondato a due "
    "decimali. Per la foto fai clic sull'immagine del riquadro e scegli un file JPEG o Bitmap. Più comodo è "
    "importare un prodotto del magazzino con la freccia verde accanto al nome: si apre «Importa prodotti da "
    "magazzino», con gli stessi dieci campi di ricerca della scheda prodotti; scrivi quello che cerchi, premi "
    "«Cerca» e fai doppio clic sul prodotto. Il riquadro si riempie con nome, aspetto esteriore, caratteristiche, "
    "codice, prezzo di vendita e foto del prodotto. I dati importati sono una copia: se in seguito cambi la scheda "
    "del prodotto, il listino non cambia da solo, quindi importa di nuovo il prodotto e salva la pagina.",

    "Per salvare la pagina premi il dischetto. Il primo prodotto, quello del riquadro A, deve essere completo: "
    "se manca il nome, l'aspetto esteriore, le caratteristiche, il codice o il prezzo il programma lo dice (per "
    "esempio «Attenzione: per salvare la scheda è necessario indicare il nome del primo prodotto.»); gli altri "
    "riquadri possono restare vuoti. Una pagina nuova viene aggiunta in fondo al listino e riceve il suo numero, "
    "una pagina già salvata viene aggiornata. Le foto degli otto riquadri vengono registrate nella cartella "
    "«Foto_Listino», in file con il nome del listino, la lettera del riquadro e il numero della pagina (per "
    "esempio «Estate_Foto_B_3.jpg»). Se una foto non si può registrare, per esempio perché il disco è pieno, la "
    "pagina viene salvata lo stesso e il messaggio dice quali riquadri hanno perso la foto: libera spazio, carica "
    "di nuovo quelle foto e salva ancora la pagina. Le modifiche non salvate si perdono cambiando pagina, "
    "preparando una pagina nuova o uscendo; le pagine salvate non si cancellano, ma si possono correggere e "
    "salvare di nuovo.",

    "Ogni foto del listino viene adattata a un riquadro orizzontale in proporzione 4:3, di 366 per 274 pixel: "
    "una foto con proporzioni diverse viene allargata o schiacciata. Per non deformare i prodotti usa quindi foto "
    "orizzontali in proporzione 4:3. Quando premi «Anteprima» o «Stampa» le foto vengono preparate per la stampa e "
    "i riquadri le mostrano proprio come usciranno sul foglio.",

    "«Anteprima» apre «Anteprima di stampa»: premi «Mostra anteprima» per vedere il foglio sullo schermo, dove puoi "
    "cambiare lo zoom, passare a «Schermo intero», stampare con «Stampa...» o chiudere con «Chiudi». «Stampa» apre "
    "«Stampa scheda»: premi «Stampa» per arrivare alla finestra della stampante; in entrambe «Annulla» torna alla "
    "pagina. Il foglio è un A4 verticale con il nome del listino in alto, gli otto riquadri incorniciati con foto, "
    "nome, aspetto esteriore, caratteristiche, codice e prezzo preceduto da €, e il numero della pagina in basso. "
    "Si stampa la pagina così com'è sullo schermo, anche se non salvata (in questo caso senza numero): per stampare "
    "tutto il listino porta sullo schermo una pagina alla volta con le frecce e stampala.",
};

constexpr std::string_view kProductExport[] = {
    "L'esportazione porta l'intero magazzino prodotti in un foglio di calcolo da aprire con Excel o con LibreOffice "
    "Calc, per esempio per mandarlo al commercialista o per fare i propri conti. Si apre con il pulsante «Esporta» "
    "della scheda prodotti: la finestra «Esporta magazzino prodotti in Excel» mostra una griglia con tutte le schede "
    "nell'ordine dell'archivio. La prima colonna, «N.», è il numero della scheda; seguono il codice articolo, il "
    "costo unitario, il nome, la giacenza, l'aspetto esteriore, la categoria, le caratteristiche, la collocazione, "
    "la ditta fornitrice, l'agente, il recapito telefonico, il documento di acquisto, la modalità di pagamento, la "
    "data di scadenza, le note, il prezzo di vendita e «Pagato».",

    "Prima di esportare puoi cambiare alcune colonne: «Nome prodotto», «Aspetto esteriore del bene», «Categoria "
    "merceologica», «Recapito telefonico», «Note», «Prezzo di vendita» e «Pagato». Fai doppio clic sulla cella, "
    "oppure selezionala e comincia a scrivere. Le modifiche finiscono solo nel file esportato: le schede dei "
    "prodotti restano come sono, e chiudendo la finestra le modifiche fatte nella griglia si perdono. Le altre "
    "colonne non si possono cambiare.",

    "Per esportare fai clic sull'icona del foglio con la freccia, in basso a destra (la riga accanto dice "
    "«Esporta l'archivio in formato Microsoft Excel.» quando ci passi sopra). Il programma avvisa che "
    "l'operazione può richiedere diversi minuti e chiede «Si vuole esportare i dati adesso?». Con un archivio "
    "grande compare «Esportazione delle schede in corso...» con il pulsante «Annulla»: se interrompi, il file "
    "esportato in precedenza resta com'era.",

    "Il file si chiama «Magazzino.xls» e si trova nella cartella del programma; ogni esportazione lo sostituisce, "
    "quindi se vuoi conservarne una versione copialo altrove o cambiagli nome. Alla fine compare «Le schede in "
    "archivio sono state esportate con successo.» con la domanda «Si vuole aprire il file di Excel?»: rispondendo "
    "di sì il file si apre con il programma di calcolo del computer. Alcune versioni di Excel avvisano che il "
    "formato del file non corrisponde all'estensione: il file è corretto e puoi aprirlo comunque.",

    "Se compare «Attenzione: il sistema non permette di esportare i dati.», di solito il file «Magazzino.xls» è "
    "ancora aperto in Excel: chiudilo e riprova; serve anche il permesso di scrittura nella cartella del programma. "
    "Con l'archivio vuoto la griglia mostra dieci righe vuote, e l'esportazione produce un foglio con le sole "
    "intestazioni e righe vuote. L'icona con il punto interrogativo apre questa guida, l'icona arancione chiude la "
    "finestra e torna alla scheda prodotti.",
};

constexpr std::string_view kGoodsInExport[] = {
    "L'esportazione porta le operazioni di carico di un anno in un foglio di calcolo da aprire con Excel o con "
    "LibreOffice Calc. Si apre con il pulsante «Esporta» della scheda di carico ed esporta tutte le schede "
    "dell'anno aperto sulla scheda: per un altro anno esci dalla scheda, apri quell'anno dal menu delle operazioni di "
    "carico e premi di nuovo «Esporta». La finestra «Esporta archivio operazioni di carico in Excel» mostra una "
    "griglia "
    "con le schede nell'ordine in cui sono state registrate: la prima colonna, «N.», è il numero della scheda, poi "
    "vengono «Documento n.», «Data emissione», «Fornitore», «Recapito preferenziale», «Data carico», «Codice "
    "articolo», «Tipologia», «Marca e modello», «Descrizione», «Costo unitario», «Quantità caricata», «Costo "
    "totale», «Note» e «Conto da saldare».",

    "Prima di esportare puoi cambiare tutte le colonne tranne «Data carico», «Codice articolo», «Tipologia» e "
    "«Marca e modello». Fai doppio clic sulla cella, oppure selezionala e comincia a scrivere. Le modifiche "
    "finiscono solo nel file esportato: le schede di carico e le giacenze restano come sono, e chiudendo la "
    "finestra le modifiche fatte nella griglia si perdono.",

    "Per esportare fai clic sull'icona del foglio con la freccia, in basso a destra. Il programma avvisa che "
    "l'operazione può richiedere diversi minuti e chiede «Si vuole esportare i dati adesso?». Con un archivio "
    "grande compare «Esportazione delle schede in corso...» con il pulsante «Annulla»: se interrompi, il file "
    "esportato in precedenza resta com'era.",

    "Il file si chiama «Operazioni_Carico.xls» e si trova nella cartella del programma. Il nome è lo stesso per "
    "ogni anno e ogni esportazione sostituisce la precedente: per conservare l'esportazione di un anno copia il "
    "file altrove o cambiagli nome, per esempio «Operazioni_Carico_2024.xls». Alla fine compare «Le schede in "
    "archivio sono state esportate con successo.» con la domanda «Si vuole aprire il file di Excel?»: rispondendo "
    "di sì il file si apre con il programma di calcolo del computer. Alcune versioni di Excel avvisano che il "
    "formato del file non corrisponde all'estensione: il file è corretto e puoi aprirlo comunque.",

    "Se compare «Attenzione: il sistema non permette di esportare i dati.», di solito il file è ancora aperto in "
    "Excel: chiudilo e riprova; serve anche il permesso di scrittura nella cartella del programma. Con un anno "
    "senza schede la griglia mostra dieci righe vuote, e l'esportazione produce un foglio con le sole intestazioni "
    "e righe vuote. L'icona con il punto interrogativo apre questa guida, l'icona arancione chiude la finestra e "
    "torna alla scheda di carico.",
};

constexpr std::string_view kGoodsOutExport[] = {
    "L'esportazione porta le operazioni di scarico di un anno in un foglio di calcolo da aprire con Excel o con "
    "LibreOffice Calc. Si apre con il pulsante «Esporta» della scheda di scarico ed esporta tutte le schede "
    "dell'anno aperto sulla scheda: per un altro anno esci dalla scheda, apri quell'anno dal menu delle operazioni di "
    "scarico e premi di nuovo «Esporta». La finestra «Esporta archivio operazioni di scarico in Excel» mostra una "
    "griglia con le schede nell'ordine in cui sono state registrate: la prima colonna, «N.», è il numero della "
    "scheda, poi vengono «Documento n.», «Data emissione», «Cliente», «Telefono preferenziale», «Data scarico», "
    "«Codice articolo», «Tipologia», «Marca e modello», «Descrizione», «Prezzo unitario», «Quantità scaricata», "
    "«Prezzo totale», «Note» e «Conto da saldare».",

    "Prima di esportare puoi cambiare tutte le colonne tranne «Data scarico», «Codice articolo», «Tipologia» e "
    "«Marca e modello». Fai doppio clic sulla cella, oppure selezionala e comincia a scrivere. Le modifiche "
    "finiscono solo nel file esportato: le schede di scarico e le giacenze restano come sono, e chiudendo la "
    "finestra le modifiche fatte nella griglia si perdono.",

    "Per esportare fai clic sull'icona del foglio con la freccia, in basso a destra. Il programma avvisa che "
    "l'operazione può richiedere diversi minuti e chiede «Si vuole esportare i dati adesso?». Con un archivio "
    "grande compare «Esportazione delle schede in corso...» con il pulsante «Annulla»: se interrompi, il file "
    "esportato in precedenza resta com'era.",

    "Il file si chiama «Operazioni_Scarico.xls» e si trova nella cartella del programma. Il nome è lo stesso per "
    "ogni anno e ogni esportazione sostituisce la precedente: per conservare l'esportazione di un anno copia il "
    "file altrove o cambiagli nome, per esempio «Operazioni_Scarico_2024.xls». Alla fine compare «Le schede in "
    "archivio sono state esportate con successo.» con la domanda «Si vuole aprire il file di Excel?»: rispondendo "
    "di sì il file si apre con il programma di calcolo del computer. Alcune versioni di Excel avvisano che il "
    "formato del file non corrisponde all'estensione: il file è corretto e puoi aprirlo comunque.",

    "Se compare «Attenzione: il sistema non permette di esportare i dati.», di solito il file è ancora aperto in "
    "Excel: chiudilo e riprova; serve anche il permesso di scrittura nella cartella del programma. Con un anno "
    "senza schede la griglia mostra dieci righe vuote, e l'esportazione produce un foglio con le sole intestazioni "
    "e righe vuote. L'icona con il punto interrogativo apre questa guida, l'icona arancione chiude la finestra e "
    "torna alla scheda di scarico.",
};

constexpr std::string_view kProductImport[] = {
    "L'importazione porta nel magazzino i prodotti che tieni già in un foglio di calcolo, senza riscrivere le schede "
    "una per una. Si apre con il pulsante «Importa» della scheda prodotti. Con «Sfoglia...» scegli il file: un file "
    "CSV salvato da Excel o da LibreOffice Calc (le colonne possono essere separate da punto e virgola, da virgola "
    "o da tabulazione, e il programma lo riconosce da solo), oppure il file «Magazzino.xls» esportato dal "
    "programma, magari corretto nel foglio di calcolo. Se il foglio è nel formato proprio del programma di calcolo "
    "(xlsx, ods), aprilo e salvalo prima come CSV.",

    "La prima riga del file deve contenere i nomi delle colonne: il programma riconosce gli stessi nomi "
    "dell'esportazione («Codice articolo», «Costo unitario», «Nome prodotto»...) e anche i più comuni come "
    "«Codice», «Prezzo» o «Categoria», senza badare a maiuscole e accenti. Sopra ogni colonna della griglia c'è "
    "un elenco con il campo della scheda in cui verrà importata: puoi cambiarlo, oppure scegliere «non importare». "
    "Se la prima riga del file è già un prodotto, togli il segno da «La prima riga contiene i nomi delle colonne». "
    "I campi che il file non ha restano vuoti o prendono i valori di una scheda nuova: 0 per giacenza e avviso, "
    "0,00 per i prezzi, «No» per «Pagato».",

    "Prima di scrivere qualsiasi cosa la griglia mostra ogni riga del file come diventerà una scheda. «Riga» è il "
    "numero della riga nel foglio di calcolo, per ritrovarla e correggerla. «Esito» dice «Pronta», «Avviso» "
    "(in giallo: la scheda verrà registrata, ma qualcosa è stato cambiato), «Rifiutata» (in rosso: la riga non "
    "verrà importata) o «Esclusa» (in grigio: il codice è già in magazzino e hai scelto di non importare queste "
    "righe); «Motivo» spiega il primo problema, e passando con il mouse sulla riga o sulla cella colorata li leggi "
    "tutti. In alto ci sono i totali delle righe pronte, con avvisi, rifiutate ed escluse, che seguono la tua "
    "scelta per i codici già presenti; «Mostra solo le righe da controllare» nasconde quelle pronte.",

    "Una riga è rifiutata quando manca uno dei campi obbligatori della scheda (codice articolo, costo unitario, "
    "nome, aspetto esteriore, categoria, caratteristiche, prezzo di vendita), quando un prezzo, una giacenza o un "
    "avviso non è un numero, o quando è troppo lungo per la scheda (la giacenza va da -999 a 9999). Un avviso "
    "segnala un testo più lungo del campo, che viene tagliato; un prezzo con più di due decimali o una giacenza con "
    "decimali, arrotondati come fa la scheda; una data di scadenza non valida, che non viene importata; un valore di "
    "«Pagato» diverso da Sì o No; un codice che compare due volte nel file o che è già in magazzino. I numeri con il "
    "punto decimale (12.50) sono letti come 12,50 solo se tutto il file li scrive così. Un file troppo grande per "
    "la memoria del computer viene rifiutato per intero, prima di leggerlo tutto: dividilo in più parti e importale "
    "una alla volta.",

    "Se alcune righe hanno un codice già presente in magazzino, sotto la griglia scegli una volta per tutte se non "
    "importarle o se importarle come nuove schede. «Non importarle» vale anche per i codici che un'altra postazione "
    "aggiunge mentre guardi l'anteprima (per esempio importando lo stesso file): quelle righe vengono saltate al "
    "momento della scrittura e contate a parte nel messaggio finale e nel resoconto. Il pulsante «Importa» dice quante "
    "schede verranno aggiunte e chiede conferma; con molte righe compare l'avanzamento con «Annulla», che si ferma "
    "dopo l'ultima scheda scritta per intero. Alla fine un messaggio riporta le schede aggiunte e le righe non "
    "importate. Il resoconto di ogni importazione, con data, file, totali e l'elenco delle righe rifiutate con il "
    "motivo, si aggiunge al file «Importazione_Prodotti.txt» nella cartella del programma: correggi quelle righe nel "
    "foglio di calcolo e importa solo quelle. «Annulla» chiude la finestra senza scrivere nulla.",
};

// In the order of HelpTopic, which helpPage relies on.
constexpr HelpPage kPages[] = {
    {HelpTopic::Overview, "Uno sguardo a Scortavia", kOverview},
    {HelpTopic::Products, "App Magazzino Prodotti", kProducts},
    {HelpTopic::GoodsIn, "App Operazioni di Carico", kGoodsIn},
    {HelpTopic::GoodsOut, "App Operazioni di Scarico", kGoodsOut},
    {HelpTopic::GoodsInSummary, "App Riepilogo movimenti di carico merce", kGoodsInSummary},
    {HelpTopic::GoodsOutSummary, "App Riepilogo movimenti di scarico merce", kGoodsOutSummary},
    {HelpTopic::Inventory, "App Inventario Merce", kInventory},
    {HelpTopic::PriceListFiles, "Creazione e apertura dei listini prezzi", kPriceListFiles},
    {HelpTopic::PriceListEditor, "App Gestione Listino Prezzi", kPriceListEditor},
    {HelpTopic::ProductExport, "Esportazione magazzino prodotti in Excel", kProductExport},
    {HelpTopic::GoodsInExport, "Esportazione archivio operazioni di carico in Excel", kGoodsInExport},
    {HelpTopic::GoodsOutExport, "Esportazione archivio operazioni di scarico in Excel", kGoodsOutExport},
    {HelpTopic::ProductImport, "Importazione dei prodotti da un foglio di calcolo", kProductImport},
};

constexpr bool pagesFollowTopics() {
    for (std::size_t i = 0; i < std::size(kPages); ++i) {
        if (kPages[i].topic != static_cast<HelpTopic>(i)) return false;
    }
    return true;
}
static_assert(pagesFollowTopics(), "kPages must list one page per topic, in the order of HelpTopic");
static_assert(std::size(kPages) == static_cast<std::size_t>(HelpTopic::ProductImport) + 1);

constexpr std::string_view kParagraphBreak = "\r\n\r\n";

}  // namespace

std::span<const HelpPage> helpPages() { return kPages; }

const HelpPage& helpPage(HelpTopic topic) { return kPages[static_cast<std::size_t>(topic)]; }

std::string helpText(const HelpPage& page) {
    std::string text;
    for (std::size_t i = 0; i < page.paragraphs.size(); ++i) {
        if (i > 0) text += kParagraphBreak;
        text += page.paragraphs[i];
    }
    return text;
}

}  // namespace scortavia
