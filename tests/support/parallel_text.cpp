// SPDX-License-Identifier: GPL-3.0-or-later
// One short article in three languages, translated sentence by sentence, so
// that any two of them pair one to one. Written for these tests.
#include "support/parallel_text.h"

namespace solandre::test {

namespace {

// Built on first use: other files' statics read them while the program starts.
const std::vector<std::string_view>& english()
{
    static const std::vector<std::string_view> text{
    "The valley of the Orbe lies between two ranges of limestone hills.",
    "For centuries it was known mainly to shepherds and to the monks of a small abbey.",
    "In 1844 a road was built along the river, and the first inn opened two years later.",
    "Travellers came slowly at first.",
    "Most of them were painters who wanted to see the waterfalls described in an old guidebook.",
    "One of them, a young woman named Clara Devaux, stayed for an entire summer and filled "
    "four notebooks with sketches.",
    "Her drawings are now kept in the municipal library of Vallorbe.",
    "The railway arrived in 1870, and with it came the first factories.",
    "A forge was built near the bridge; it employed about 120 workers.",
    "Life in the village changed very quickly.",
    "Families who had kept goats for generations now sent their sons to work at the furnaces.",
    "Not everyone welcomed this progress.",
    "\"We have traded our meadows for smoke,\" wrote the parish priest in his diary.",
    "Still, the factories brought schools, a doctor and, eventually, electric light.",
    "By 1900 the population had doubled, reaching nearly 3,000 inhabitants.",
    "The great flood of 1910 destroyed the lower part of the village.",
    "Water rose more than four metres in a single night.",
    "Nobody was killed, but dozens of houses had to be rebuilt.",
    "Why had nobody foreseen the disaster?",
    "The engineers blamed the forests that had been cut down on the slopes above the river.",
    "A programme of reforestation began the following spring and lasted almost thirty years.",
    "Today those slopes are covered with beech and spruce.",
    "Walkers can follow a marked path from the station to the source of the river, a "
    "distance of 11 kilometres.",
    "The path climbs gently through the woods.",
    "After about an hour, it reaches the caves.",
    "These caves were explored systematically for the first time in 1936 by a team from Lausanne.",
    "They found bones of cave bears, stone tools and the remains of a hearth.",
    "Some of these objects can be seen in the small museum next to the town hall.",
    "The museum is open every day except Monday, from ten in the morning until five in the "
    "afternoon.",
    "Entry is free for children.",
    "Every year in September the valley celebrates the Fête des Forges.",
    "Blacksmiths from all over the region come to show their skills.",
    "There are concerts, a market and a procession with torches along the river.",
    "The festival attracts more than 15,000 visitors.",
    "For the inhabitants, it is also a way of remembering the hard work of their grandparents.",
    "What will the valley look like in fifty years?",
    "The last forge closed in 1987, and tourism is now the main source of income.",
    "Some people fear that the village will become a museum itself.",
    "Others believe that new kinds of work will appear, as they always have.",
    "The mayor, Jean-Pierre Rochat, is optimistic.",
    "\"The valley has survived floods, fires and crises,\" he says.",
    "\"It will survive us too!\"",
    "In the meantime, the river keeps flowing, as green and cold as ever.",
    "Anyone who stands on the old bridge at dusk can hear it.",
    "It sounds exactly as it did when Clara Devaux painted it.",
    "Her last notebook ends with a single sentence: \"I shall come back.\"",
    "She never did.",
    "But her drawings brought many others.",
    };
    return text;
}

const std::vector<std::string_view>& french()
{
    static const std::vector<std::string_view> text{
    "La vallée de l'Orbe s'étend entre deux chaînes de collines calcaires.",
    "Pendant des siècles, elle n'était guère connue que des bergers et des moines d'une "
    "petite abbaye.",
    "En 1844, une route fut construite le long de la rivière, et la première auberge ouvrit "
    "deux ans plus tard.",
    "Les voyageurs vinrent d'abord lentement.",
    "La plupart étaient des peintres qui voulaient voir les chutes décrites dans un vieux guide.",
    "L'une d'entre eux, une jeune femme nommée Clara Devaux, resta tout un été et remplit "
    "quatre carnets de croquis.",
    "Ses dessins sont aujourd'hui conservés à la bibliothèque municipale de Vallorbe.",
    "Le chemin de fer arriva en 1870, et avec lui les premières usines.",
    "Une forge fut bâtie près du pont ; elle employait environ 120 ouvriers.",
    "La vie du village changea très vite.",
    "Des familles qui élevaient des chèvres depuis des générations envoyaient désormais "
    "leurs fils travailler aux fourneaux.",
    "Tout le monde ne se réjouit pas de ce progrès.",
    "« Nous avons échangé nos prés contre de la fumée », écrivit le curé dans son journal.",
    "Pourtant, les usines apportèrent des écoles, un médecin et, finalement, la lumière "
    "électrique.",
    "En 1900, la population avait doublé et atteignait presque 3 000 habitants.",
    "La grande crue de 1910 détruisit la partie basse du village.",
    "L'eau monta de plus de quatre mètres en une seule nuit.",
    "Personne ne fut tué, mais des dizaines de maisons durent être reconstruites.",
    "Pourquoi personne n'avait-il prévu la catastrophe ?",
    "Les ingénieurs accusèrent les forêts abattues sur les pentes au-dessus de la rivière.",
    "Un programme de reboisement commença le printemps suivant et dura près de trente ans.",
    "Aujourd'hui, ces pentes sont couvertes de hêtres et d'épicéas.",
    "Les promeneurs peuvent suivre un sentier balisé de la gare jusqu'à la source de la "
    "rivière, sur une distance de 11 kilomètres.",
    "Le sentier monte doucement à travers les bois.",
    "Au bout d'une heure environ, il atteint les grottes.",
    "Ces grottes furent explorées systématiquement pour la première fois en 1936 par une "
    "équipe de Lausanne.",
    "Elle y trouva des ossements d'ours des cavernes, des outils de pierre et les restes "
    "d'un foyer.",
    "Certains de ces objets sont exposés au petit musée à côté de l'hôtel de ville.",
    "Le musée est ouvert tous les jours sauf le lundi, de dix heures du matin à cinq heures "
    "de l'après-midi.",
    "L'entrée est gratuite pour les enfants.",
    "Chaque année en septembre, la vallée célèbre la Fête des Forges.",
    "Des forgerons de toute la région viennent montrer leur savoir-faire.",
    "Il y a des concerts, un marché et une procession aux flambeaux le long de la rivière.",
    "La fête attire plus de 15 000 visiteurs.",
    "Pour les habitants, c'est aussi une manière de se souvenir du dur labeur de leurs "
    "grands-parents.",
    "À quoi ressemblera la vallée dans cinquante ans ?",
    "La dernière forge ferma en 1987, et le tourisme est aujourd'hui la principale source de "
    "revenus.",
    "Certains craignent que le village ne devienne lui-même un musée.",
    "D'autres pensent que de nouveaux métiers apparaîtront, comme toujours.",
    "Le maire, Jean-Pierre Rochat, est optimiste.",
    "« La vallée a survécu aux crues, aux incendies et aux crises », dit-il.",
    "« Elle nous survivra aussi ! »",
    "En attendant, la rivière continue de couler, toujours aussi verte et froide.",
    "Quiconque se tient sur le vieux pont au crépuscule peut l'entendre.",
    "Elle sonne exactement comme lorsque Clara Devaux la peignait.",
    "Son dernier carnet se termine par une seule phrase : « Je reviendrai. »",
    "Elle ne revint jamais.",
    "Mais ses dessins en attirèrent beaucoup d'autres.",
    };
    return text;
}

const std::vector<std::string_view>& spanish()
{
    static const std::vector<std::string_view> text{
    "El valle del Orbe se extiende entre dos cadenas de colinas calizas.",
    "Durante siglos solo lo conocían los pastores y los monjes de una pequeña abadía.",
    "En 1844 se construyó una carretera a lo largo del río, y la primera posada abrió dos "
    "años después.",
    "Al principio los viajeros llegaban despacio.",
    "La mayoría eran pintores que querían ver las cascadas descritas en una vieja guía.",
    "Una de ellos, una joven llamada Clara Devaux, se quedó todo un verano y llenó cuatro "
    "cuadernos de bocetos.",
    "Sus dibujos se conservan hoy en la biblioteca municipal de Vallorbe.",
    "El ferrocarril llegó en 1870, y con él las primeras fábricas.",
    "Se construyó una forja cerca del puente; empleaba a unos 120 obreros.",
    "La vida del pueblo cambió muy deprisa.",
    "Familias que habían criado cabras durante generaciones mandaban ahora a sus hijos a "
    "trabajar en los hornos.",
    "No todos recibieron con alegría aquel progreso.",
    "«Hemos cambiado nuestros prados por humo», escribió el párroco en su diario.",
    "Aun así, las fábricas trajeron escuelas, un médico y, por fin, la luz eléctrica.",
    "En 1900 la población se había duplicado y alcanzaba casi 3.000 habitantes.",
    "La gran inundación de 1910 destruyó la parte baja del pueblo.",
    "El agua subió más de cuatro metros en una sola noche.",
    "No murió nadie, pero hubo que reconstruir decenas de casas.",
    "¿Por qué nadie había previsto la catástrofe?",
    "Los ingenieros culparon a los bosques talados en las laderas sobre el río.",
    "Un programa de reforestación comenzó la primavera siguiente y duró casi treinta años.",
    "Hoy esas laderas están cubiertas de hayas y abetos.",
    "Los caminantes pueden seguir un sendero señalizado desde la estación hasta el "
    "nacimiento del río, una distancia de 11 kilómetros.",
    "El sendero sube suavemente a través del bosque.",
    "Después de una hora, más o menos, llega a las cuevas.",
    "Estas cuevas fueron exploradas sistemáticamente por primera vez en 1936 por un equipo "
    "de Lausana.",
    "Encontraron huesos de osos de las cavernas, herramientas de piedra y los restos de un hogar.",
    "Algunos de esos objetos pueden verse en el pequeño museo junto al ayuntamiento.",
    "El museo abre todos los días excepto los lunes, de diez de la mañana a cinco de la tarde.",
    "La entrada es gratuita para los niños.",
    "Cada año, en septiembre, el valle celebra la Fête des Forges.",
    "Herreros de toda la región acuden a mostrar su destreza.",
    "Hay conciertos, un mercado y una procesión con antorchas a lo largo del río.",
    "La fiesta atrae a más de 15.000 visitantes.",
    "Para los habitantes es también una manera de recordar el duro trabajo de sus abuelos.",
    "¿Cómo será el valle dentro de cincuenta años?",
    "La última forja cerró en 1987, y el turismo es hoy la principal fuente de ingresos.",
    "Algunos temen que el pueblo se convierta él mismo en un museo.",
    "Otros creen que aparecerán nuevos oficios, como siempre ha ocurrido.",
    "El alcalde, Jean-Pierre Rochat, es optimista.",
    "«El valle ha sobrevivido a inundaciones, incendios y crisis», dice.",
    "«¡También nos sobrevivirá a nosotros!»",
    "Mientras tanto, el río sigue corriendo, tan verde y frío como siempre.",
    "Quien se detenga en el viejo puente al anochecer puede oírlo.",
    "Suena exactamente igual que cuando Clara Devaux lo pintaba.",
    "Su último cuaderno termina con una sola frase: «Volveré».",
    "Nunca volvió.",
    "Pero sus dibujos atrajeron a muchos otros.",
    };
    return text;
}

} // namespace

const std::vector<std::string_view>& valleyText(Language language)
{
    switch (language) {
    case Language::English:
        return english();
    case Language::French:
        return french();
    case Language::Spanish:
        break;
    }
    return spanish();
}

std::string numberedValleyText(Language language)
{
    std::string text;
    const auto& sentences = valleyText(language);
    for (size_t k = 0; k < sentences.size(); ++k)
        text += "[" + std::to_string(k + 1) + "] " + std::string(sentences[k]) + "\r\n";
    return text;
}

} // namespace solandre::test
