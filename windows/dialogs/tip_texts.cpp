#include "windows/dialogs/tip_texts.h"

#include <iterator>

namespace orbita {

// The sayings are quoted from the works named beside each group; a saying is
// written in lower case (names keep their capitals) as one line whose
// sentences are joined by commas, and ends with " - " and the author. Only
// quotations whose author and wording are well attested are kept here.
const std::array<std::string_view, kTipCount>& TipTexts()
{
    static constexpr std::string_view table[] = {
        // Stanisław Jerzy Lec, "Myśli nieuczesane".
        "nie wystarczy mówić do rzeczy, trzeba mówić do ludzi - Stanisław Jerzy Lec",
        "każdy wiek ma swoje średniowiecze - Stanisław Jerzy Lec",
        "wszystko jest w rękach człowieka, dlatego należy je często myć - Stanisław Jerzy Lec",
        "optymiści i pesymiści różnią się tylko datą końca świata - Stanisław Jerzy Lec",
        "nawet w jego milczeniu były błędy ortograficzne - Stanisław Jerzy Lec",
        "aby dojść do źródła, trzeba płynąć pod prąd - Stanisław Jerzy Lec",
        "bądź realistą: nie mów prawdy - Stanisław Jerzy Lec",
        "miał czyste sumienie, nieużywane - Stanisław Jerzy Lec",
        "nawet gdy pysk zamkną, pytanie pozostaje otwarte - Stanisław Jerzy Lec",
        "życie zabiera nam bardzo dużo czasu - Stanisław Jerzy Lec",
        "kto wie, co by odkrył Kolumb, gdyby mu Ameryka nie zagrodziła drogi - Stanisław Jerzy Lec",
        "okno na świat można zasłonić gazetą - Stanisław Jerzy Lec",
        "pomyśl, zanim pomyślisz - Stanisław Jerzy Lec",
        "na początku było słowo, na końcu frazes - Stanisław Jerzy Lec",
        // Adam Mickiewicz: "Oda do młodości", "Romantyczność", "Pan Tadeusz",
        // "Dziady" part II, "Konrad Wallenrod".
        "mierz siłę na zamiary, nie zamiar podług sił - Adam Mickiewicz",
        "tam sięgaj, gdzie wzrok nie sięga; łam, czego rozum nie złamie - Adam Mickiewicz",
        "młodości! dodaj mi skrzydła! - Adam Mickiewicz",
        "bez serc, bez ducha, to szkieletów ludy - Adam Mickiewicz",
        "miej serce i patrzaj w serce - Adam Mickiewicz",
        "czucie i wiara silniej mówi do mnie niż mędrca szkiełko i oko - Adam Mickiewicz",
        "grzeczność nie jest nauką łatwą ani małą - Adam Mickiewicz",
        "ile cię trzeba cenić, ten tylko się dowie, kto cię stracił - Adam Mickiewicz",
        "tymczasem przenoś moją duszę utęsknioną do tych pagórków leśnych, do tych łąk zielonych - Adam "
        "Mickiewicz",
        "kto nie doznał goryczy ni razu, ten nie dozna słodyczy w niebie - Adam Mickiewicz",
        "kto nie był ni razu człowiekiem, temu człowiek nic nie pomoże - Adam Mickiewicz",
        "ciemno wszędzie, głucho wszędzie, co to będzie, co to będzie? - Adam Mickiewicz",
        "szczęścia w domu nie znalazł, bo go nie było w ojczyźnie - Adam Mickiewicz",
        // Jan Kochanowski: "Na zdrowie", "Pieśni", "Treny", "O żywocie ludzkim",
        // "Na lipę".
        "szlachetne zdrowie, nikt się nie dowie, jako smakujesz, aż się zepsujesz - Jan Kochanowski",
        "nową przypowieść Polak sobie kupi, że i przed szkodą, i po szkodzie głupi - Jan Kochanowski",
        "ludzkie przygody ludzkie noś - Jan Kochanowski",
        "nie porzucaj nadzieje, jakoć się kolwiek dzieje - Jan Kochanowski",
        "miło szaleć, kiedy czas po temu - Jan Kochanowski",
        "fraszki to wszystko, cokolwiek myślemy, fraszki to wszystko, cokolwiek czyniemy - Jan Kochanowski",
        "gościu, siądź pod mym liściem, a odpoczni sobie - Jan Kochanowski",
        "czego chcesz od nas, Panie, za Twe hojne dary? - Jan Kochanowski",
        "wielkieś mi uczyniła pustki w domu moim, moja droga Orszulo, tym zniknienim swoim - Jan Kochanowski",
        // Wisława Szymborska: "Minuta ciszy po Ludwice Wawrzyńskiej", "Nic dwa
        // razy", "Możliwości", "Miłość od pierwszego wejrzenia", "Rehabilitacja",
        // "O śmierci bez przesady", "Kot w pustym mieszkaniu".
        "tyle wiemy o sobie, ile nas sprawdzono - Wisława Szymborska",
        "nic dwa razy się nie zdarza i nie zdarzy - Wisława Szymborska",
        "jesteś, a więc musisz minąć; miniesz, a więc to jest piękne - Wisława Szymborska",
        "wolę śmieszność pisania wierszy od śmieszności ich niepisania - Wisława Szymborska",
        "każdy przecież początek to tylko ciąg dalszy, a księga zdarzeń zawsze otwarta w połowie - Wisława "
        "Szymborska",
        "umarłych wieczność dotąd trwa, dokąd pamięcią się im płaci - Wisława Szymborska",
        "nie ma życia, które choć przez chwilę nie byłoby nieśmiertelne - Wisława Szymborska",
        "umrzeć – tego nie robi się kotu - Wisława Szymborska",
        // Cyprian Kamil Norwid: "Ogólniki", "Promethidion", letters, "Do Walentego
        // Pomiana Z.", "Czy ten ptak kala gniazdo...", "Przeszłość", "Moja
        // piosnka [II]", "Klaskaniem mając obrzękłe prawice...", "Coś ty Atenom
        // zrobił, Sokratesie...".
        "odpowiednie dać rzeczy słowo - Cyprian Kamil Norwid",
        "piękno na to jest, by zachwycało do pracy, praca, by się zmartwychwstało - Cyprian Kamil Norwid",
        "ojczyzna jest to wielki zbiorowy obowiązek - Cyprian Kamil Norwid",
        "nie trzeba kłaniać się okolicznościom, a prawdom kazać, by za drzwiami stały - Cyprian Kamil Norwid",
        "czy ten ptak kala gniazdo, co je kala, czy ten, co mówić o tym nie pozwala? - Cyprian Kamil Norwid",
        "przeszłość jest to dziś, tylko cokolwiek dalej - Cyprian Kamil Norwid",
        "do kraju tego, gdzie kruszynę chleba podnoszą z ziemi przez uszanowanie dla darów Nieba, tęskno mi, "
        "Panie - Cyprian Kamil Norwid",
        "klaskaniem mając obrzękłe prawice, znudzony pieśnią, lud wołał o czyny - Cyprian Kamil Norwid",
        "coś ty Atenom zrobił, Sokratesie, że ci złoty posąg na rynku postawił, otruwszy pierwej? - Cyprian "
        "Kamil Norwid",
        // Zbigniew Herbert: "Przesłanie Pana Cogito", "Potęga smaku".
        "ocalałeś nie po to, aby żyć - Zbigniew Herbert",
        "idź wyprostowany wśród tych, co na kolanach - Zbigniew Herbert",
        "bądź wierny, idź - Zbigniew Herbert",
        "to wcale nie wymagało wielkiego charakteru - Zbigniew Herbert",
        // Juliusz Słowacki: "Testament mój", "Hymn" ("Smutno mi, Boże!"), "Beniowski".
        "niech żywi nie tracą nadziei i przed narodem niosą oświaty kaganiec - Juliusz Słowacki",
        "żyłem z wami, cierpiałem i płakałem z wami, nigdy mi, kto szlachetny, nie był obojętny - Juliusz "
        "Słowacki",
        "smutno mi, Boże! - Juliusz Słowacki",
        "chodzi mi o to, aby język giętki powiedział wszystko, co pomyśli głowa - Juliusz Słowacki",
        // Adam Asnyk: "Do młodych", "Daremne żale".
        "trzeba z żywymi naprzód iść, po życie sięgać nowe - Adam Asnyk",
        "szukajcie prawdy jasnego płomienia, szukajcie nowych, nieodkrytych dróg - Adam Asnyk",
        "każda epoka ma swe własne cele i zapomina o wczorajszych snach - Adam Asnyk",
        "daremne żale, próżny trud, bezsilne złorzeczenia - Adam Asnyk",
        // Ignacy Krasicki: "Hymn do miłości ojczyzny", "Kruk i lis",
        // "Antymonachomachia".
        "święta miłości kochanej ojczyzny, czują cię tylko umysły poczciwe - Ignacy Krasicki",
        "bywa często zwiedzionym, kto lubi być chwalonym - Ignacy Krasicki",
        "prawdziwa cnota krytyk się nie boi - Ignacy Krasicki",
        // Aleksander Fredro: "Zemsta".
        "niech się dzieje wola nieba, z nią się zawsze zgadzać trzeba - Aleksander Fredro",
        "zgoda, zgoda, a Bóg wtedy rękę poda - Aleksander Fredro",
        // John Paul II: the inauguration homily (1978), the Warsaw homily (1979),
        // the address at Jasna Góra (1983); as Karol Wojtyła, "Myśląc Ojczyzna".
        "nie lękajcie się! otwórzcie, otwórzcie na oścież drzwi Chrystusowi! - Jan Paweł II",
        "niech zstąpi Duch Twój i odnowi oblicze ziemi, tej ziemi! - Jan Paweł II",
        "musicie od siebie wymagać, nawet gdyby inni od was nie wymagali - Jan Paweł II",
        "wolność stale trzeba zdobywać, nie można jej tylko posiadać - Karol Wojtyła",
        // Czesław Miłosz: "Który skrzywdziłeś", "Dar".
        "nie bądź bezpieczny, poeta pamięta - Czesław Miłosz",
        "dzień taki szczęśliwy - Czesław Miłosz",
        // Stanisław Wyspiański: "Wesele".
        "chłop potęgą jest i basta - Stanisław Wyspiański",
        "a to Polska właśnie - Stanisław Wyspiański",
        // Mikołaj Rej.
        "a niechaj narodowie wżdy postronni znają, iż Polacy nie gęsi, iż swój język mają - Mikołaj Rej",
        // Józef Wybicki, "Pieśń Legionów Polskich we Włoszech".
        "jeszcze Polska nie zginęła, kiedy my żyjemy - Józef Wybicki",
        // Maria Konopnicka, "Rota".
        "nie rzucim ziemi, skąd nasz ród - Maria Konopnicka",
        // Jan Twardowski, "Śpieszmy się".
        "śpieszmy się kochać ludzi, tak szybko odchodzą - Jan Twardowski",
        // Henryk Sienkiewicz, "Potop".
        "kończ waść, wstydu oszczędź! - Henryk Sienkiewicz",
        // Józef Piłsudski.
        "być zwyciężonym i nie ulec to zwycięstwo, zwyciężyć i spocząć na laurach to klęska - Józef "
        "Piłsudski",
        // Maria Skłodowska-Curie, in its usual Polish wording.
        "niczego w życiu nie należy się bać, należy to tylko zrozumieć - Maria Skłodowska-Curie",

        // Hints about the program.
        "w każdej chwili możesz uzyskać Pomoc, wciskając klawisz F1 lub przycisk Pomoc",
        "możesz wyłączyć pokazywanie Porady dnia przy starcie, wystarczy odznaczyć pole \"Wyświetlaj zawsze "
        "podczas uruchamiania programu\"",
        "zdobyte umiejętności szybko sprawdzisz za pomocą Testu chemicznego",
        "szybko uzyskasz definicje nieznanego terminu chemicznego posługując się wbudowanym Słownikiem "
        "chemicznym",
        "Tablice chemiczne to nie tylko pomoce naukowe, ale również wiele ciekawych informacji jak np.: "
        "lista "
        "laureatów Nagrody Nobla",
        "za pomocą Ustawień możesz dodawać lub usuwać programy z przybornika narzędzi",
        "możesz zmienić standardowy wygląd programu posługując się dostępnymi w oknie Ustawień karnacjami",
        "klikając dwa razy pole rezultatów w oknie Wyszukiwarki, możesz przenieść się bezpośrednio do "
        "wybranego pierwiastka",
        "jeśli na Twoim komputerze program działa zbyt wolno, możesz przełączyć się do trybu kompaktowego",
        "za pomocą Centrum aktualizacji, szybko i wygodnie ściągniesz nową wersję programu oraz dodatkowe "
        "testy i karnacje",
    };
    static_assert(std::size(table) == kTipCount, "85 sayings and 10 hints");
    static constexpr std::array<std::string_view, kTipCount> texts = [] {
        std::array<std::string_view, kTipCount> result {};
        for (std::size_t i = 0; i < kTipCount; ++i)
            result[i] = table[i];
        return result;
    }();
    return texts;
}

} // namespace orbita
