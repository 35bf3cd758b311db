#include "DemoData.h"

#include "platform/Cp1254.h"

#include <QHash>
#include <QTime>

#include <algorithm>
#include <optional>
#include <random>
#include <stdexcept>
#include <vector>

namespace demodata {
namespace {

// The generator's fixed start value: the same data on every run and every platform.
constexpr std::mt19937::result_type kStartValue = 602021u;

// Draws from a Mersenne twister without the standard distributions, whose results differ
// between standard libraries.
class Dice {
public:
    explicit Dice(std::mt19937::result_type start)
        : m_engine(start) {}

    // 0 <= result < n
    int below(int n) {
        if (n <= 0)
            return 0;
        return static_cast<int>((static_cast<quint64>(m_engine()) * static_cast<quint64>(n)) >> 32);
    }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int p) { return below(100) < p; }
    QString digits(int count) {
        QString text;
        text.reserve(count);
        for (int i = 0; i < count; ++i)
            text += QChar(u'0' + below(10));
        return text;
    }
    template <typename T, size_t N> const T &pick(const T (&items)[N]) {
        return items[below(static_cast<int>(N))];
    }
    template <typename T> const T &pick(const std::vector<T> &items) {
        return items[static_cast<size_t>(below(static_cast<int>(items.size())))];
    }

private:
    std::mt19937 m_engine;
};

QString utf8(const char *text) {
    return QString::fromUtf8(text);
}

// A text value: nullopt is NULL.
using Text = std::optional<QString>;

// --- The word lists (UTF-8 here, Windows-1254 in the database)

const char *const kMaleNames[] = {
    "Mehmet", "Mustafa", "Ahmet",  "Ali",    "Hüseyin", "Hasan",  "İbrahim",  "İsmail",
    "Osman",  "Yusuf",   "Murat",  "Ömer",   "Ramazan", "Halil",  "Süleyman", "Abdullah",
    "Mahmut", "Recep",   "Salih",  "Fatih",  "Kadir",   "Emre",   "Hakan",    "Serkan",
    "Burak",  "Oğuz",    "Tolga",  "Uğur",   "Çağlar",  "Gökhan", "Şükrü",    "Ilgaz",
    "Işık",   "Doğan",   "Cengiz", "Volkan", "Barış",   "Kağan",  "Görkem",   "Ertuğrul",
    "Yiğit",  "Çetin",   "Sinan",  "Tuncay", "Levent",  "Erdal",  "İlker",    "Özgür"};

const char *const kFemaleNames[] = {
    "Fatma", "Ayşe",   "Emine", "Hatice", "Zeynep", "Elif",  "Meryem", "Şerife",
    "Zehra", "Sultan", "Merve", "Özlem",  "Esra",   "Büşra", "Gülşen", "Şule",
    "Nur",   "Dilek",  "Sevgi", "Çiğdem", "Gizem",  "Tuğba", "Ebru",   "İlknur",
    "Işıl",  "Ilgın",  "Öykü",  "Derya",  "Songül", "Gönül", "Şebnem", "Nilüfer",
    "Pınar", "Yağmur", "Ceren", "Aslı",   "Gül",    "Hülya", "İpek",   "Müge"};

const char *const kSurnames[] = {
    "Yılmaz",  "Kaya",    "Demir",    "Şahin",   "Çelik",  "Yıldız",  "Yıldırım", "Öztürk",
    "Aydın",   "Özdemir", "Arslan",   "Doğan",   "Kılıç",  "Aslan",   "Çetin",    "Kara",
    "Koç",     "Kurt",    "Özkan",    "Şimşek",  "Polat",  "Öz",      "Korkmaz",  "Çakır",
    "Erdoğan", "Yavuz",   "Can",      "Acar",    "Şen",    "Aktaş",   "Güler",    "Yalçın",
    "Güneş",   "Bozkurt", "Bulut",    "Keskin",  "Ünal",   "Turan",   "Gül",      "Özer",
    "Işık",    "Kaplan",  "Avcı",     "Sarı",    "Tekin",  "Taş",     "Köse",     "Yüksel",
    "Ateş",    "Aksoy",   "İnce",     "Çiftçi",  "Uçar",   "Ilıcak",  "Irmak",    "İpekçi",
    "Ağaoğlu", "Karagöz", "Dündar",   "Gökçe",   "Sağlam", "Başaran", "Eroğlu",   "Türkmen",
    "Uysal",   "Çınar",   "Altıntaş", "Karadağ", "Özbek",  "Erdem",   "Akgül",    "Ilgaz"};

// A place's name as the first word of a business's name.
const char *const kBusinessWords[] = {
    "Lezzet", "Sofra",   "Köşe",     "Keyif",     "Anadolu", "Boğaziçi", "Çınar",  "Güneş",
    "Şölen",  "Yıldız",  "Ege",      "Karadeniz", "Lokma",   "Bereket",  "Saray",  "Hisar",
    "Liman",  "Çamlık",  "Papatya",  "Deniz",     "Marmara", "Safran",   "Tandır", "Şehir",
    "Sultan", "Ihlamur", "İstasyon", "Özlem",     "Fıstık",  "Kestane",  "Nar",    "Asmaaltı"};

struct BusinessKind {
    const char *name;
    const char *group;
};

const BusinessKind kBusinessKinds[] = {{"Restoran", "Restoran"},   {"Restaurant", "Restoran"},
                                       {"Balık Evi", "Restoran"},  {"Kebap Salonu", "Restoran"},
                                       {"Ocakbaşı", "Restoran"},   {"Durağı", "Restoran"},
                                       {"Lokantası", "Lokanta"},   {"Ev Yemekleri", "Lokanta"},
                                       {"Pide Salonu", "Lokanta"}, {"Kafe", "Kafe"},
                                       {"Cafe", "Kafe"},           {"Kahve Evi", "Kafe"},
                                       {"Pastanesi", "Pastane"},   {"Fırını", "Pastane"},
                                       {"Tatlıcısı", "Pastane"},   {"Otel", "Otel"},
                                       {"Butik Otel", "Otel"},     {"Burger", "Fast Food"},
                                       {"Döner", "Fast Food"},     {"Büfe", "Fast Food"},
                                       {"Catering", "Catering"},   {"Bilişim", "Bayi"},
                                       {"Bilgisayar", "Bayi"},     {"Yazılım", "Bayi"}};

const char *const kGroups[] = {"Restoran", "Lokanta",   "Kafe",     "Pastane",
                               "Otel",     "Fast Food", "Catering", "Bayi"};

struct Weighted {
    const char *text;
    int weight;
};

const Weighted kReferrals[] = {{"Tavsiye", 30}, {"Web", 18},      {"Google", 12}, {"Fuar", 8},
                               {"Reklam", 8},   {"Instagram", 8}, {"Bayi", 10},   {"Telefon", 6}};

struct District {
    const char *province;
    const char *name;
    const char *areaCode;
    const char *postCode;
    int weight;
};

const District kDistricts[] = {
    {"İstanbul", "Kadıköy", "216", "34710", 8},     {"İstanbul", "Beşiktaş", "212", "34353", 6},
    {"İstanbul", "Şişli", "212", "34381", 6},       {"İstanbul", "Üsküdar", "216", "34664", 5},
    {"İstanbul", "Bakırköy", "212", "34142", 4},    {"İstanbul", "Beyoğlu", "212", "34433", 6},
    {"İstanbul", "Ataşehir", "216", "34758", 4},    {"İstanbul", "Fatih", "212", "34122", 5},
    {"İstanbul", "Sarıyer", "212", "34450", 3},     {"İstanbul", "Beylikdüzü", "212", "34520", 3},
    {"Ankara", "Çankaya", "312", "06680", 7},       {"Ankara", "Keçiören", "312", "06280", 3},
    {"Ankara", "Yenimahalle", "312", "06170", 3},   {"Ankara", "Etimesgut", "312", "06790", 2},
    {"İzmir", "Karşıyaka", "232", "35540", 4},      {"İzmir", "Bornova", "232", "35040", 4},
    {"İzmir", "Konak", "232", "35250", 5},          {"İzmir", "Çeşme", "232", "35930", 2},
    {"Bursa", "Osmangazi", "224", "16040", 3},      {"Bursa", "Nilüfer", "224", "16110", 3},
    {"Antalya", "Muratpaşa", "242", "07100", 4},    {"Antalya", "Konyaaltı", "242", "07070", 3},
    {"Antalya", "Alanya", "242", "07400", 3},       {"Adana", "Seyhan", "322", "01120", 2},
    {"Adana", "Çukurova", "322", "01170", 2},       {"Konya", "Selçuklu", "332", "42060", 2},
    {"Konya", "Meram", "332", "42090", 1},          {"Gaziantep", "Şahinbey", "342", "27010", 2},
    {"Gaziantep", "Şehitkamil", "342", "27060", 2}, {"Kayseri", "Melikgazi", "352", "38030", 1},
    {"Eskişehir", "Odunpazarı", "222", "26010", 2}, {"Eskişehir", "Tepebaşı", "222", "26130", 1},
    {"Trabzon", "Ortahisar", "462", "61030", 2},    {"Muğla", "Bodrum", "252", "48400", 3},
    {"Muğla", "Fethiye", "252", "48300", 2},        {"Muğla", "Marmaris", "252", "48700", 1},
    {"Diyarbakır", "Kayapınar", "412", "21070", 1}, {"Samsun", "İlkadım", "362", "55030", 1},
    {"Samsun", "Atakum", "362", "55200", 1},        {"Mersin", "Yenişehir", "324", "33110", 2},
    {"Çanakkale", "Merkez", "286", "17100", 1},     {"Şanlıurfa", "Haliliye", "414", "63200", 1},
    {"Iğdır", "Merkez", "476", "76000", 1},         {"Ağrı", "Doğubayazıt", "472", "04400", 1}};

const char *const kNeighbourhoods[] = {
    "Atatürk",      "Cumhuriyet", "Yeni",     "Fatih",       "Gazi",      "Barbaros",
    "Çamlıca",      "Esentepe",   "İnönü",    "Merkez",      "Kültür",    "Güzelyalı",
    "Bahçelievler", "Caferağa",   "Osmanağa", "Göztepe",     "Levent",    "Cihangir",
    "Şirinevler",   "Yıldıztepe", "Işıklar",  "Ihlamurkuyu", "Karşıyaka", "Çiçekli"};

const char *const kStreets[] = {"Atatürk Cad.",       "İstiklal Cad.",
                                "Gül Sok.",           "Lale Sok.",
                                "Menekşe Sok.",       "Çınar Sok.",
                                "Ihlamur Sok.",       "Şehit Er Ali Sok.",
                                "1453. Sok.",         "Kıbrıs Şehitleri Cad.",
                                "Bağdat Cad.",        "Moda Cad.",
                                "Şair Nedim Sok.",    "Bahariye Cad.",
                                "Cumhuriyet Bulvarı", "Gazi Osman Paşa Bulvarı",
                                "Işık Sok.",          "Ördekli Sok.",
                                "Üçler Sok.",         "2. Çıkmaz Sok."};

const char *const kBuildings[] = {"Gül Apt.",     "Yıldız Apt.", "Huzur Sitesi",
                                  "Çarşı İşhanı", "Ege Plaza",   "Özsoy İş Merkezi"};

const char *const kMobilePrefixes[] = {
    "0501", "0505", "0506", "0507", "0530", "0531", "0532", "0533", "0534", "0535",
    "0536", "0537", "0538", "0539", "0541", "0542", "0543", "0544", "0545", "0546",
    "0547", "0548", "0549", "0551", "0552", "0553", "0554", "0555", "0561"};

const char *const kMailDomains[] = {"gmail.com", "hotmail.com", "yandex.com", "outlook.com",
                                    "yahoo.com", "icloud.com",  "mynet.com"};

const char *const kCustomerNotes[] = {"Adisyon programı kuruldu.",
                                      "2 adet el terminali teslim edildi.",
                                      "Mutfak yazıcısı arızalı, servis bekliyor.",
                                      "Yazar kasa POS entegrasyonu istiyor.",
                                      "Lisans yenileme tarihi Mart'ta.",
                                      "Yedekler C:\\Adisyon\\Yedek klasöründe.",
                                      "Ödeme havale ile yapılacak.",
                                      "Yeni şube açacak, tekrar aranacak.",
                                      "Çağrı karşılama cihazı fiyatı soruldu.",
                                      "Garsonlara sipariş ekranı eğitimi verildi.",
                                      "Paket servis modülü kuruldu.",
                                      "Online sipariş entegrasyonu istiyor.",
                                      "Sezon sonu kapanıyor, Nisan'da açılıyor.",
                                      "Fiyat teklifi gönderildi.",
                                      "İnternet bağlantısı zayıf, modem değişecek.",
                                      "Muhasebeci Şükrü Bey, öğleden sonra aranmalı.",
                                      "Stok modülü kullanılmıyor.",
                                      "Ön ödeme alındı, kalan teslimde.",
                                      "\"Gold\" paket seçildi.",
                                      "İki kasiyer, üç garson hesabı açıldı.",
                                      "Güncelleme yapılacak (sürüm 4.2).",
                                      "%10 indirim sözü verildi.",
                                      "Işıklı menü panosu da sordu.",
                                      "Hafta sonu kurulum istemiyor; pazartesi uygun."};

const char *const kCallNotes[] = {"Fiyat sordu.",
                                  "Geri aranacak.",
                                  "Yazıcı kağıt sıkıştırıyor.",
                                  "Teknik servis istedi, yarın 10:00'da gidilecek.",
                                  "Teklif gönderildi.",
                                  "Şifresini unutmuş, sıfırlandı.",
                                  "Ödeme için IBAN istedi.",
                                  "Yanlış numara.",
                                  "Kurulum randevusu: Perşembe 14:00",
                                  "Ekran dondu, uzaktan bağlanıldı.",
                                  "Fatura kopyası istedi.",
                                  "Yeni menü yüklenecek.",
                                  "Müşteri memnun, referans olabilir.",
                                  "Kasa raporu çıkmıyor; yedekten geri yüklendi.",
                                  "İade istiyor \u2013 yöneticiye iletildi."};

struct Product {
    const char *name;
    qint64 price; // kuruş
    int maxCount;
};

const Product kProducts[] = {{"Adisyon Yazılımı Lisansı", 1250000, 1},
                             {"El Terminali (Android)", 745000, 6},
                             {"Mutfak Ekranı 21\"", 980000, 2},
                             {"Termal Fiş Yazıcısı 80 mm", 320000, 3},
                             {"Dokunmatik POS Terminali 15\"", 1890000, 3},
                             {"Para Çekmecesi", 185000, 2},
                             {"Müşteri Ekranı", 275000, 2},
                             {"Barkod Okuyucu", 95000, 2},
                             {"Garson Çağrı Butonu", 45000, 20},
                             {"Çağrı Karşılama Cihazı (2 hat)", 420000, 1},
                             {"Online Sipariş Entegrasyonu", 600000, 1},
                             {"Kurulum ve Eğitim", 350000, 1},
                             {"Yıllık Destek Paketi", 480000, 1},
                             {"Kablosuz Erişim Noktası", 210000, 3}};

const char *const kOfferNotes[] = {
    "Restoran sistemi fiyat teklifi", "Yeni şube kurulumu",  "Ek terminal teklifi",
    "Yıllık destek yenileme",         "Paket servis modülü", "Sezon açılışı için güncel fiyatlar"};

// --- Text helpers

QString turkishUpper(const QString &text) {
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        if (ch == u'i')
            result += QChar(0x0130);  // İ
        else if (ch == QChar(0x0131)) // ı
            result += u'I';
        else
            result += ch.toUpper();
    }
    return result;
}

QString turkishLower(const QString &text) {
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        if (ch == u'I')
            result += QChar(0x0131);  // ı
        else if (ch == QChar(0x0130)) // İ
            result += u'i';
        else
            result += ch.toLower();
    }
    return result;
}

// Letters for an e-mail address or a web domain: Turkish letters without their marks, no
// blanks or punctuation.
QString asciiWord(const QString &text) {
    static const QString from = utf8("çğıöşüÇĞİÖŞÜ");
    static const QString to = QStringLiteral("cgiosuCGIOSU");
    QString result;
    for (const QChar ch : text) {
        const qsizetype at = from.indexOf(ch);
        const QChar plain = at >= 0 ? to.at(at) : ch;
        if (plain.isLetterOrNumber() && plain.unicode() < 0x80)
            result += plain.toLower();
    }
    return result;
}

// The Windows-1254 bytes of text, cut to the column's size.
QByteArray columnBytes(const QString &text, int size) {
    if (!cp1254::canEncode(text))
        throw std::logic_error("demo text without a Windows-1254 byte: " + text.toStdString());
    QByteArray bytes = cp1254::fromUnicode(text);
    if (bytes.size() > size) {
        bytes.truncate(size);
        while (bytes.endsWith(' '))
            bytes.chop(1);
    }
    return bytes;
}

// Sentences joined until the next one would pass the limit.
QString sentences(Dice &dice, const char *const *pool, int poolSize, int count, int limit) {
    QString text;
    for (int i = 0; i < count; ++i) {
        const QString next = utf8(pool[dice.below(poolSize)]);
        if (text.contains(next))
            continue;
        const QString separator =
            text.isEmpty() ? QString()
                           : (dice.percent(20) ? QStringLiteral("\r\n") : QStringLiteral(" "));
        if (text.size() + separator.size() + next.size() > limit)
            break;
        text += separator + next;
    }
    return text;
}

// --- Statements

// One row of an INSERT: its values as SQL literals.
class RowText {
public:
    RowText &null() { return raw("NULL"); }
    RowText &text(const Text &value, int size) {
        return value ? raw(quoted(columnBytes(*value, size))) : null();
    }
    RowText &number(qint64 value) { return raw(QByteArray::number(value)); }
    RowText &optionalNumber(std::optional<qint64> value) { return value ? number(*value) : null(); }
    RowText &amount(qint64 kurus) {
        return raw(QByteArray::number(kurus / 100) + '.' +
                   QByteArray::number(kurus % 100).rightJustified(2, '0'));
    }
    RowText &date(const QDate &value) {
        return value.isValid() ? raw('\'' + value.toString(Qt::ISODate).toLatin1() + '\'') : null();
    }
    RowText &time(const QTime &value) {
        return raw('\'' + value.toString(QStringLiteral("HH:mm:ss")).toLatin1() + '\'');
    }
    QByteArray take() {
        m_text += ')';
        QByteArray result = std::move(m_text);
        m_text = QByteArray();
        return result;
    }

private:
    RowText &raw(const QByteArray &literal) {
        m_text += m_text.isEmpty() ? '(' : ',';
        m_text += literal;
        return *this;
    }
    QByteArray m_text;
};

// Gathers rows into INSERT statements of up to rowsPerStatement rows.
class InsertBatch {
public:
    InsertBatch(const char *table, const char *columns, int rowsPerStatement,
                const StatementSink &sink)
        : m_head(QByteArray("INSERT INTO ") + table + " (" + columns + ") VALUES\n")
        , m_rowsPerStatement(std::max(1, rowsPerStatement))
        , m_sink(sink) {}

    void add(const QByteArray &row) {
        if (m_rows == 0)
            m_statement = m_head;
        else
            m_statement += ",\n";
        m_statement += row;
        if (++m_rows == m_rowsPerStatement)
            flush();
    }
    void flush() {
        if (m_rows == 0)
            return;
        m_statement += ';';
        m_sink(m_statement);
        m_statement.clear();
        m_rows = 0;
    }

private:
    QByteArray m_head;
    int m_rowsPerStatement;
    const StatementSink &m_sink;
    QByteArray m_statement;
    int m_rows = 0;
};

// --- The directory

struct Company {
    QString name;
    QString title;
    QString phone;
    QString group;
    QString taxOffice;
    QString taxNumber;
    int district = 0;
    QString address;
};

// What calls and offers need of a customer, as stored.
struct Customer {
    int id = 0;
    Text name;
    Text company;
    Text mobile1;
    Text mobile2;
    Text companyPhone;
};

class Generator {
public:
    Generator(const Settings &settings, const StatementSink &sink)
        : m_settings(settings)
        , m_sink(sink)
        , m_dice(kStartValue) {
        for (const District &d : kDistricts)
            m_districtWeights += d.weight;
        for (const Weighted &w : kReferrals)
            m_referralWeights += w.weight;
    }

    Counts run() {
        writeCustomers();
        writeCalls();
        writeOffers();
        writeAccounts();
        return m_counts;
    }

private:
    int pickDistrict() {
        int roll = m_dice.below(m_districtWeights);
        for (int i = 0; i < static_cast<int>(std::size(kDistricts)); ++i) {
            roll -= kDistricts[i].weight;
            if (roll < 0)
                return i;
        }
        return 0;
    }

    QString mobile() { return utf8(m_dice.pick(kMobilePrefixes)) + m_dice.digits(7); }
    QString landline(int district) {
        return QLatin1Char('0') + utf8(kDistricts[district].areaCode) +
               QString::number(m_dice.between(2, 6)) + m_dice.digits(6);
    }

    QString address(int district) {
        const District &d = kDistricts[district];
        QStringList lines;
        lines << utf8(m_dice.pick(kNeighbourhoods)) + QStringLiteral(" Mah.");
        QString street =
            utf8(m_dice.pick(kStreets)) + QStringLiteral(" No:%1").arg(m_dice.between(1, 240));
        if (m_dice.percent(30))
            street += QStringLiteral("/%1").arg(QChar(u'A' + m_dice.below(4)));
        if (m_dice.percent(40))
            street += QStringLiteral(" D:%1").arg(m_dice.between(1, 24));
        if (m_dice.percent(25)) {
            lines << utf8(m_dice.pick(kBuildings));
        }
        lines << street;
        const QString place = utf8(d.name) + QLatin1Char('/') + utf8(d.province);
        if (m_dice.percent(50))
            lines << utf8(d.postCode) + QLatin1Char(' ') + place;
        else if (m_dice.percent(80))
            lines << place;
        return lines.join(QStringLiteral("\r\n"));
    }

    Company company(const QString &surname) {
        Company c;
        const BusinessKind &kind = m_dice.pick(kBusinessKinds);
        const QString first = m_dice.percent(30) ? surname : utf8(m_dice.pick(kBusinessWords));
        c.name = first + QLatin1Char(' ') + utf8(kind.name);
        c.group = utf8(kind.group);
        c.district = pickDistrict();
        c.phone = landline(c.district);
        c.address = address(c.district);

        static const char *const suffixes[] = {
            " Gıda San. ve Tic. Ltd. Şti.", " Gıda Ltd. Şti.", " Tic. Ltd. Şti.",
            " Turizm İşletmeleri A.Ş.",     " Ltd. Şti.",      " A.Ş."};
        if (m_dice.percent(30)) {
            c.title = QString(); // a sole trader: the person's name is the title
            c.taxNumber = QString::number(m_dice.between(1, 9)) + m_dice.digits(10);
        } else {
            const QString base = c.name;
            for (int tries = 0; tries < 4 && c.title.isEmpty(); ++tries) {
                const QString candidate = base + utf8(m_dice.pick(suffixes));
                if (candidate.size() <= 50)
                    c.title = candidate;
            }
            if (c.title.isEmpty())
                c.title = base + QStringLiteral(" Ltd. Şti.");
            c.taxNumber = m_dice.digits(10);
        }
        const QString office = utf8(kDistricts[c.district].name);
        switch (m_dice.below(3)) {
        case 0:
            c.taxOffice = office;
            break;
        case 1:
            c.taxOffice = office + QStringLiteral(" V.D.");
            break;
        default:
            c.taxOffice = office + QStringLiteral(" Vergi Dairesi");
            break;
        }
        return c;
    }

    QString referral() {
        int roll = m_dice.below(m_referralWeights);
        for (const Weighted &w : kReferrals) {
            roll -= w.weight;
            if (roll < 0)
                return utf8(w.text);
        }
        return utf8(kReferrals[0].text);
    }

    void writeCustomers() {
        InsertBatch batch("rehber",
                          "Id,tarih,adsoyad,gsmtel1,gsmtel2,eposta,firmaad,firmaunvan,firmatel,"
                          "vergidaire,vergino,grup,referans,detay,adres,adres1,adres2,adres3,"
                          "ili,ilcesi",
                          m_settings.rowsPerStatement, m_sink);
        std::vector<Company> companies;
        const QDate today = m_settings.today;
        m_customers.reserve(static_cast<size_t>(std::max(0, m_settings.customers)));
        for (int id = 1; id <= m_settings.customers; ++id) {
            // Most cards were typed in the program, which saves an empty box as an empty
            // text; the others came from an older list and hold NULL where nothing was known.
            const bool imported = m_dice.percent(20);
            const bool sparse = m_dice.percent(2); // a few with hardly anything filled in
            const Text missing = imported ? Text() : Text(QString());
            auto maybe = [&](int percent, const QString &value) -> Text {
                return !sparse && m_dice.percent(percent) ? Text(value) : missing;
            };

            const bool female = m_dice.percent(45);
            QString first = utf8(female ? m_dice.pick(kFemaleNames) : m_dice.pick(kMaleNames));
            if (m_dice.percent(12))
                first += QLatin1Char(' ') +
                         utf8(female ? m_dice.pick(kFemaleNames) : m_dice.pick(kMaleNames));
            const QString surname = utf8(m_dice.pick(kSurnames));
            QString name = first + QLatin1Char(' ') + surname;
            const int nameStyle = m_dice.below(100);
            if (nameStyle < 8)
                name = turkishUpper(name);
            else if (nameStyle < 11)
                name = turkishLower(name);
            Text adsoyad = name;
            if (m_dice.percent(1))
                adsoyad = m_dice.percent(50) ? Text() : Text(QString());

            std::optional<Company> firm;
            if (!companies.empty() && m_dice.percent(4))
                firm = companies[static_cast<size_t>(
                    m_dice.below(static_cast<int>(companies.size())))]; // a second contact
            else if (m_dice.percent(82)) {
                firm = company(surname);
                companies.push_back(*firm);
            }
            const int district = firm ? firm->district : pickDistrict();

            Text gsm1 =
                sparse && m_dice.percent(50) ? missing : (m_dice.percent(96) ? mobile() : missing);
            Text gsm2 = maybe(22, mobile());
            Text email;
            if (!sparse && m_dice.percent(68)) {
                if (firm && m_dice.percent(35))
                    email =
                        QStringLiteral("info@") + asciiWord(firm->name) +
                        (m_dice.percent(60) ? QStringLiteral(".com.tr") : QStringLiteral(".com"));
                else if (m_dice.percent(50))
                    email = asciiWord(first) + QLatin1Char('.') + asciiWord(surname) +
                            QLatin1Char('@') + utf8(m_dice.pick(kMailDomains));
                else
                    email = asciiWord(first) + asciiWord(surname) +
                            QString::number(m_dice.between(1, 99)) + QLatin1Char('@') +
                            utf8(m_dice.pick(kMailDomains));
            } else {
                email = missing;
            }

            Text firmaad = missing, firmaunvan = missing, firmatel = missing;
            Text vergidaire = missing, vergino = missing, adres = missing;
            QString group;
            if (firm && !sparse) {
                firmaad = firm->name;
                firmaunvan = firm->title.isEmpty() ? name : firm->title;
                if (m_dice.percent(85))
                    firmatel = firm->phone;
                if (m_dice.percent(60)) {
                    vergidaire = firm->taxOffice;
                    vergino = firm->taxNumber;
                }
                group = firm->group;
            } else {
                group = utf8(m_dice.pick(kGroups));
            }
            if (!sparse && m_dice.percent(85))
                adres = firm ? firm->address : address(district);
            const Text grup = !sparse && m_dice.percent(92) ? Text(group) : missing;
            const Text referans = maybe(75, referral());
            Text detay = missing;
            if (!sparse && m_dice.percent(40))
                detay =
                    sentences(m_dice, kCustomerNotes, static_cast<int>(std::size(kCustomerNotes)),
                              m_dice.between(1, 6), 200);
            Text ili = missing, ilcesi = missing;
            if (!sparse && m_dice.percent(90)) {
                ili = utf8(kDistricts[district].province);
                ilcesi = utf8(kDistricts[district].name);
            }
            const QDate registered =
                m_dice.percent(1) ? QDate() : today.addDays(-m_dice.between(0, 6 * 365));

            RowText row;
            row.number(id)
                .date(registered)
                .text(adsoyad, 30)
                .text(gsm1, 11)
                .text(gsm2, 11)
                .text(email, 50)
                .text(firmaad, 30)
                .text(firmaunvan, 50)
                .text(firmatel, 11)
                .text(vergidaire, 30)
                .text(vergino, 15)
                .text(grup, 10)
                .text(referans, 10)
                .text(detay, 500)
                .text(adres, 255)
                .null()
                .null()
                .null()
                .text(ili, 30)
                .text(ilcesi, 30);
            batch.add(row.take());

            Customer customer;
            customer.id = id;
            customer.name = adsoyad;
            customer.company = firmaad;
            customer.mobile1 = gsm1;
            customer.mobile2 = gsm2;
            customer.companyPhone = firmatel;
            remember(customer);
            m_customers.push_back(std::move(customer));
        }
        batch.flush();
        m_counts.customers = static_cast<int>(m_customers.size());
    }

    // The program finds a caller by gsmtel1 over all cards, then gsmtel2, then firmatel;
    // the first card in table order wins.
    void remember(const Customer &c) {
        auto keep = [&](QHash<QString, int> &index, const Text &number) {
            if (number && !number->isEmpty() && !index.contains(*number))
                index.insert(*number, c.id);
        };
        keep(m_byMobile1, c.mobile1);
        keep(m_byMobile2, c.mobile2);
        keep(m_byCompanyPhone, c.companyPhone);
    }
    const Customer *lookUp(const QString &number) const {
        for (const QHash<QString, int> *index : {&m_byMobile1, &m_byMobile2, &m_byCompanyPhone}) {
            const auto found = index->constFind(number);
            if (found != index->cend())
                return &m_customers[static_cast<size_t>(*found - 1)];
        }
        return nullptr;
    }

    // Busy days bring more calls: weekdays most, Sunday least.
    static int dayWeight(const QDate &day) {
        switch (day.dayOfWeek()) {
        case 6:
            return 4;
        case 7:
            return 1;
        default:
            return 6;
        }
    }

    QTime callTime() {
        int minute;
        const int kind = m_dice.below(100);
        if (kind < 50)
            minute = m_dice.between(9 * 60, 18 * 60);
        else if (kind < 75)
            minute = m_dice.between(11 * 60, 14 * 60);
        else
            minute = m_dice.between(17 * 60, 23 * 60);
        return QTime(minute / 60, minute % 60, m_dice.below(60));
    }

    QString callerNumber(const Customer &c) {
        std::vector<QString> numbers;
        auto add = [&](const Text &n, int weight) {
            if (n && !n->isEmpty())
                for (int i = 0; i < weight; ++i)
                    numbers.push_back(*n);
        };
        add(c.mobile1, 7);
        add(c.mobile2, 1);
        add(c.companyPhone, 2);
        return numbers.empty() ? QString() : m_dice.pick(numbers);
    }

    void writeCalls() {
        const int days = std::max(1, m_settings.days);
        const QDate first = m_settings.today.addDays(-(days - 1));
        int weightSum = 0;
        for (int d = 0; d < days; ++d)
            weightSum += dayWeight(first.addDays(d));
        const int total = m_settings.calls >= 0
                              ? m_settings.calls
                              : weightSum * std::max(1, m_settings.customers / 10) / 6;

        InsertBatch batch("arayanlar", "tarih,saat,telno,arayan,firma,rehberid,notu",
                          m_settings.rowsPerStatement, m_sink);
        std::vector<QString> unknownNumbers;
        int given = 0, written = 0, weightSoFar = 0;
        for (int d = 0; d < days; ++d) {
            const QDate day = first.addDays(d);
            weightSoFar += dayWeight(day);
            const int upTo = static_cast<int>(static_cast<qint64>(total) * weightSoFar / weightSum);
            std::vector<QTime> times;
            for (; given < upTo; ++given)
                times.push_back(callTime());
            std::sort(times.begin(), times.end());
            const bool lastDay = day == m_settings.today;
            for (const QTime &time : times)
                if (!lastDay || time <= m_settings.latestCallToday) {
                    batch.add(call(day, time, unknownNumbers));
                    ++written;
                }
        }
        batch.flush();
        m_counts.calls = written;
    }

    QByteArray call(const QDate &day, const QTime &time, std::vector<QString> &unknownNumbers) {
        QString number;
        if (!m_customers.empty() && m_dice.percent(80)) {
            for (int tries = 0; tries < 10 && number.isEmpty(); ++tries) {
                // Some customers call much more often than others.
                int index = m_dice.below(static_cast<int>(m_customers.size()));
                if (m_dice.percent(40))
                    index = index / 20 * 20;
                number = callerNumber(m_customers[static_cast<size_t>(index)]);
            }
        }
        if (number.isEmpty()) {
            if (!unknownNumbers.empty() && m_dice.percent(40)) {
                number = m_dice.pick(unknownNumbers);
            } else {
                number = m_dice.percent(70) ? mobile() : landline(pickDistrict());
                if (unknownNumbers.size() < 200)
                    unknownNumbers.push_back(number);
            }
        }
        // As the program registers it: name, company and card of the first card holding
        // the number, empty texts and no card when none does.
        const Customer *known = lookUp(number);
        if (known)
            ++m_counts.knownCalls;
        const Text note =
            m_dice.percent(15)
                ? Text(sentences(m_dice, kCallNotes, static_cast<int>(std::size(kCallNotes)),
                                 m_dice.between(1, 2), 100))
                : Text();
        RowText row;
        row.date(day)
            .time(time)
            .text(number, 20)
            .text(known ? known->name.value_or(QString()) : QString(), 30)
            .text(known ? known->company.value_or(QString()) : QString(), 30)
            .optionalNumber(known ? std::optional<qint64>(known->id) : std::nullopt)
            .text(note, 100);
        return row.take();
    }

    void writeOffers() {
        const int count = m_settings.offers >= 0 ? m_settings.offers : m_settings.customers / 5;
        if (count == 0 || m_customers.empty())
            return;
        InsertBatch offers("teklif",
                           "referansno,rehberid,adsoyad,tarih,gecerlitar,toplam,indirim,"
                           "kargotakip,aciklama",
                           m_settings.rowsPerStatement, m_sink);
        InsertBatch lines("teklifler", "referansno,urun,adet,birimfiyat,tutar",
                          m_settings.rowsPerStatement, m_sink);
        std::vector<QDate> dates;
        for (int i = 0; i < count; ++i)
            dates.push_back(m_settings.today.addDays(-m_dice.between(0, 180)));
        std::sort(dates.begin(), dates.end());
        QHash<int, int> numberInYear;
        for (const QDate &date : dates) {
            const Customer *customer = nullptr;
            for (int tries = 0; tries < 20 && !customer; ++tries) {
                const Customer &c = m_dice.pick(m_customers);
                if (c.name && !c.name->isEmpty())
                    customer = &c;
            }
            if (!customer)
                customer = &m_customers.front();
            const QString reference =
                QStringLiteral("TKL-%1-%2")
                    .arg(date.year())
                    .arg(++numberInYear[date.year()], 4, 10, QLatin1Char('0'));
            qint64 total = 0;
            const int lineCount = m_dice.between(1, 6);
            std::vector<int> chosen;
            for (int l = 0; l < lineCount; ++l) {
                const int product = m_dice.below(static_cast<int>(std::size(kProducts)));
                if (std::find(chosen.begin(), chosen.end(), product) != chosen.end())
                    continue;
                chosen.push_back(product);
                const Product &p = kProducts[product];
                const int pieces = m_dice.between(1, p.maxCount);
                RowText line;
                line.text(reference, 20)
                    .text(utf8(p.name), 60)
                    .number(pieces)
                    .amount(p.price)
                    .amount(p.price * pieces);
                lines.add(line.take());
                total += p.price * pieces;
                ++m_counts.offerLines;
            }
            qint64 discount = 0;
            if (m_dice.percent(30))
                discount = total * m_dice.between(3, 12) / 100 / 5000 * 5000;
            Text tracking = QString();
            if (m_dice.percent(35))
                tracking = QStringLiteral("734") + m_dice.digits(10);
            else if (m_dice.percent(30))
                tracking = QStringLiteral("FTR%1%2").arg(date.year()).arg(m_dice.digits(6));
            const Text note = m_dice.percent(80) ? Text(utf8(m_dice.pick(kOfferNotes))) : Text();
            RowText offer;
            offer.text(reference, 20)
                .number(customer->id)
                .text(customer->name, 30)
                .date(date)
                .date(date.addDays(m_dice.percent(50) ? 15 : 30))
                .amount(total)
                .amount(discount)
                .text(tracking, 30)
                .text(note, 100);
            offers.add(offer.take());
            ++m_counts.offers;
        }
        offers.flush();
        lines.flush();
    }

    // An IBAN of Türkiye (TR, check digits, 5-digit bank code, 0, 16-digit account),
    // grouped by four as it is printed.
    static QString iban(const QString &bank, const QString &account) {
        const QString bban = bank + QLatin1Char('0') + account;
        const QString digits = bban + QStringLiteral("292700"); // "TR00" as digits
        int rest = 0;
        for (const QChar ch : digits)
            rest = (rest * 10 + (ch.unicode() - u'0')) % 97;
        const QString plain = QStringLiteral("TR%1").arg(98 - rest, 2, 10, QLatin1Char('0')) + bban;
        QStringList groups;
        for (qsizetype i = 0; i < plain.size(); i += 4)
            groups << plain.mid(i, 4);
        return groups.join(QLatin1Char(' '));
    }

    void writeAccounts() {
        InsertBatch batch("banka", "bankaadi,hesapadi,hesapno,iban", m_settings.rowsPerStatement,
                          m_sink);
        const QString holder = utf8("Ege Restoran Sistemleri Ltd. Şti.");
        struct Account {
            const char *bank;
            const char *code;
            const char *branch;
            const char *number;
        };
        const Account accounts[] = {{"T.C. Ziraat Bankası", "00010", "0781", "58213467"},
                                    {"Türkiye İş Bankası", "00064", "1045", "0347821"}};
        for (const Account &a : accounts) {
            const QString number = utf8(a.branch) + QLatin1Char('-') + utf8(a.number);
            const QString account =
                (utf8(a.branch) + utf8(a.number)).rightJustified(16, QLatin1Char('0'));
            RowText row;
            row.text(utf8(a.bank), 40)
                .text(holder, 50)
                .text(number, 30)
                .text(iban(utf8(a.code), account), 34);
            batch.add(row.take());
            ++m_counts.accounts;
        }
        batch.flush();
    }

    const Settings &m_settings;
    const StatementSink &m_sink;
    Dice m_dice;
    int m_districtWeights = 0;
    int m_referralWeights = 0;
    std::vector<Customer> m_customers;
    QHash<QString, int> m_byMobile1;
    QHash<QString, int> m_byMobile2;
    QHash<QString, int> m_byCompanyPhone;
    Counts m_counts;
};

} // namespace

Counts generate(const Settings &settings, const StatementSink &sink) {
    return Generator(settings, sink).run();
}

QStringList groupValues() {
    QStringList values;
    for (const char *g : kGroups)
        values << utf8(g);
    return values;
}

QStringList referralValues() {
    QStringList values;
    for (const Weighted &r : kReferrals)
        values << utf8(r.text);
    return values;
}

QByteArray absentNumber() {
    return QByteArrayLiteral("05999999999");
}

QByteArray quoted(const QByteArray &bytes) {
    QByteArray text;
    text.reserve(bytes.size() + 2);
    text += '\'';
    for (const char ch : bytes) {
        switch (ch) {
        case '\'':
            text += "\\'";
            break;
        case '\\':
            text += "\\\\";
            break;
        case '\n':
            text += "\\n";
            break;
        case '\r':
            text += "\\r";
            break;
        case '\0':
            text += "\\0";
            break;
        case '\x1a':
            text += "\\Z";
            break;
        default:
            text += ch;
            break;
        }
    }
    text += '\'';
    return text;
}

} // namespace demodata
