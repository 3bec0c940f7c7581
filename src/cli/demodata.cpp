// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/demodata.h"

#include "cli/commands.h"
#include "core/formats.h"
#include "data/sqlite.h"
#include "data/store.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace vetcert::demo {

namespace {

// splitmix64: the same sequence for the same seed on every machine and library.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<quint64>(n)); }
    template <size_t N>
    QString pick(const char16_t* const (&list)[N])
    {
        return QString::fromUtf16(list[below(static_cast<int>(N))]);
    }

private:
    quint64 m_state;
};

const char16_t* const kForms[] = {u"ООО", u"ЗАО", u"ОАО", u"СПК", u"КФХ", u"ИП", u"АО", u"ПК"};
const char16_t* const kNames[] = {u"Рассвет",     u"Заря",        u"Агрокомплекс", u"Молочный двор", u"Колос",
                                  u"Нива",        u"Приволье",    u"Луговое",      u"Северное",      u"Победа",
                                  u"Мясной двор", u"Агроресурс",  u"Берёзка",      u"Надежда",       u"Родина",
                                  u"Красный Октябрь", u"Сибирская нива", u"Ёлочка",   u"Волжские зори", u"Дружба"};
const char16_t* const kSurnames[] = {u"Иванов",   u"Петров",   u"Сидоров", u"Кузнецов", u"Смирнов", u"Попов",
                                     u"Васильев", u"Соколов",  u"Михайлов", u"Новиков", u"Фёдоров", u"Морозов",
                                     u"Волков",   u"Алексеев", u"Лебедев", u"Семёнов",  u"Егоров",  u"Павлов"};
const char16_t* const kInitials[] = {u"А. И.", u"В. П.", u"Н. С.", u"О. В.", u"Е. А.", u"С. М.", u"Т. Г.", u"Ю. Н."};
const char16_t* const kProducts[] = {u"молоко коровье сырое", u"говядина охлаждённая", u"свинина замороженная",
                                     u"мясо птицы", u"яйцо куриное пищевое", u"мёд натуральный", u"рыба мороженая",
                                     u"крупный рогатый скот", u"овцы", u"шкуры крупного рогатого скота",
                                     u"сыр твёрдый", u"масло сливочное"};
const char16_t* const kPlaces[] = {u"г. Тверь", u"г. Вологда", u"г. Ярославль", u"г. Кострома", u"г. Киров",
                                   u"г. Псков", u"г. Смоленск", u"г. Рязань", u"г. Тула", u"г. Калуга"};
const char16_t* const kTransport[] = {u"автомобиль", u"авторефрижератор", u"железнодорожный вагон", u"контейнер"};

QString counterpartyName(Random& r)
{
    if (r.below(4) == 0)
        return u"ИП "_s + r.pick(kSurnames) + u' ' + r.pick(kInitials);
    return r.pick(kForms) + u" «"_s + r.pick(kNames) + u'»' + (r.below(3) == 0 ? u" "_s + r.pick(kPlaces) : QString());
}

void fillCertificate(Random& r, Forma3& f, qint64 number, const QString& counterparty, const QString& permit)
{
    const RecordRef rec(Forma3::def(), &f);
    rec.clear();
    f.COMMENT.set(u"Выдано");
    f.NFORM.setInteger(number);
    f.NLIC.setCut(permit);
    const Date issued = *Date::fromDmy(1 + r.below(28), 1 + r.below(12), 2010 + r.below(17));
    const Date until(issued.dayNumber() + 3 + r.below(10));
    f.DATAV = issued;
    f.DATADST = until;
    f.DAY.setInteger(issued.day());
    f.MES.setCut(genitiveMonth(issued.month()));
    f.GOD.setInteger(issued.year());
    f.DAYDST.setInteger(until.day());
    f.MESDST.setCut(genitiveMonth(until.month()));
    f.GODDST.setInteger(until.year());
    f.Z1.setCut(u"Тверская область"_s);
    f.Z2.setCut(u"Калининский район"_s);
    f.Z3.setCut(u"ГБУ «Калининская районная станция по борьбе с болезнями животных»"_s);
    f.Z4.setCut(u"Государственная ветеринарная служба"_s);
    f.S2.setCut(counterparty);
    const QString product = r.pick(kProducts);
    f.S7.setCut(product + u", партия №"_s + QString::number(100 + r.below(9900)));
    f.S8.setCut(u"в количестве "_s + QString::number(1 + r.below(5000)) + u" кг, упаковано в "_s +
                QString::number(1 + r.below(200)) + u" мест"_s);
    f.S9.setCut(u"маркировка: "_s + QString::number(r.below(100000)));
    f.S10.setCut(u"выработанная "_s + r.pick(kForms) + u" «"_s + r.pick(kNames) + u'»');
    f.S11.setCut(u"и направляется "_s + r.pick(kPlaces) + u", "_s + r.pick(kForms) + u" «"_s + r.pick(kNames) + u'»');
    f.S121.setCut(u"транспортом: "_s + r.pick(kTransport) + u" № "_s + QString::number(100 + r.below(900)));
    f.S13.setCut(u"по маршруту "_s + r.pick(kPlaces) + u" — "_s + r.pick(kPlaces));
    f.S141.setCut(u"здорова, благополучна"_s);
    f.S151.setCut(u"Продукция подвергнута ветеринарно-санитарной экспертизе"_s);
    f.S17.setCut(u"с результатом: пригодна для реализации без ограничений"_s);
    f.S18.setCut(u"Местность благополучна по особо опасным болезням животных"_s);
    f.S19.setCut(u"Особые отметки: отсутствуют"_s);
    f.P1.setCut(r.pick(kSurnames) + u' ' + r.pick(kInitials));
    f.P2.setCut(u"Ветеринарный врач"_s);
    f.P3.setCut(u"Государственный инспектор"_s);
    f.P4.setCut(r.pick(kSurnames) + u' ' + r.pick(kInitials));
}

constexpr qint64 kChunk = 20000;  // records a transaction

} // namespace

bool generate(Store& store, qint64 certificates, qint64 counterparties, quint64 seed,
              const std::function<void(qint64)>& progress)
{
    Random r(seed);
    Context ctx(store, u"demo-data"_s);
    if (!ctx.openGroup(FileId::Forma3))
        return false;
    sqlite3* db = ctx.connection(FileId::Forma3);
    for (FileId id : {FileId::Kagent, FileId::Licenziy})
        if (ctx.file(id).count() < 0)
            return false;

    std::vector<QString> names;
    names.reserve(static_cast<size_t>(counterparties));
    if (!ctx.beginTransaction(FileId::Kagent, 10000))
        return false;
    DataFile& kag = ctx.file(FileId::Kagent);
    qint64 lastId = sql::queryInt(db, u"SELECT max(key_k1) FROM kagent"_s, 0);
    for (qint64 i = 0; i < counterparties; ++i) {
        Kagent& k = kag.record<Kagent>();
        kag.buffer().clear();
        k.ID.setInteger(++lastId);
        k.NAME.setCut(counterpartyName(r));
        names.push_back(k.NAME.toString());
        if (kag.insert() != Status::Ok) {
            ctx.rollback(FileId::Kagent);
            return false;
        }
    }
    DataFile& lic = ctx.file(FileId::Licenziy);
    std::vector<QString> permits;
    const qint64 permitCount = std::max<qint64>(1, certificates / 50);
    for (qint64 i = 0; i < permitCount; ++i) {
        Licenziy& l = lic.record<Licenziy>();
        lic.buffer().clear();
        l.NLIC.setCut(u"%1-%2/%3"_s.arg(r.below(90) + 10).arg(r.below(100000), 5, 10, QChar(u'0')).arg(2010 + r.below(17)));
        l.DATALIC = *Date::fromDmy(1 + r.below(28), 1 + r.below(12), 2010 + r.below(17));
        l.KOL.setInteger(1 + r.below(100000));
        permits.push_back(l.NLIC.toString());
        if (lic.insert() != Status::Ok) {
            ctx.rollback(FileId::Kagent);
            return false;
        }
    }
    if (!ctx.commit(FileId::Kagent))
        return false;

    DataFile& fr3 = ctx.file(FileId::Forma3);
    qint64 number = sql::queryInt(db, u"SELECT max(key_k2) FROM forma3"_s, 0);
    for (qint64 done = 0; done < certificates;) {
        if (!ctx.beginTransaction(FileId::Forma3, 10000))
            return false;
        const qint64 end = std::min(certificates, done + kChunk);
        for (; done < end; ++done) {
            // About one certificate in 40 came from a permit; the rest are entered by hand.
            const QString permit = r.below(40) == 0 ? permits[static_cast<size_t>(r.below(int(permits.size())))] : QString();
            const QString name = names.empty() ? QString() : names[static_cast<size_t>(r.next() % names.size())];
            fillCertificate(r, fr3.record<Forma3>(), ++number, name, permit);
            if (fr3.insert() != Status::Ok) {
                ctx.rollback(FileId::Forma3);
                return false;
            }
        }
        if (!ctx.commit(FileId::Forma3))
            return false;
        if (progress)
            progress(done);
    }
    return true;
}

} // namespace vetcert::demo

namespace vetcert::cli {

int runDemoData(Options& opt)
{
    int status = 0;
    QString certs, parties, seed;
    if (!opt.take(u"--certificates"_s, &certs, &status))
        return status ? status : Options::usageError(u"demo-data: нужен --certificates N"_s);
    if (!opt.take(u"--counterparties"_s, &parties, &status) && status)
        return status;
    if (!opt.take(u"--seed"_s, &seed, &status) && status)
        return status;
    if (!opt.args.isEmpty())
        return Options::usageError(u"demo-data: лишние аргументы: %1"_s.arg(opt.args.join(u' ')));
    bool ok1 = true, ok2 = true, ok3 = true;
    const qint64 n = certs.toLongLong(&ok1);
    const qint64 m = parties.isEmpty() ? std::max<qint64>(1, std::min<qint64>(n / 20 + 1, 50000)) : parties.toLongLong(&ok2);
    const quint64 s = seed.isEmpty() ? 1 : seed.toULongLong(&ok3);
    if (!ok1 || !ok2 || !ok3 || n < 0 || m < 0 || (n > 0 && m == 0))
        return Options::usageError(u"demo-data: числа указаны неверно (при N > 0 нужен хотя бы один контрагент)"_s);
    StderrReporter reporter;
    Store store(opt.dataDir, reporter);
    const bool done = demo::generate(store, n, m, s, [n](qint64 d) {
        if (d % 100000 == 0 || d == n)
            std::fprintf(stderr, "%s\n", u"vetcert: удостоверений: %1 из %2"_s.arg(d).arg(n).toUtf8().constData());
    });
    return done ? 0 : 1;
}

} // namespace vetcert::cli
