// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli.h"

#include "cli/commands.h"

#include <QDir>
#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace vetcert::cli {

namespace {

const char* const kCommands[] = {"import", "export", "demo-data", "check"};

// Options of the program as a whole that take a value.
bool takesValue(const char* arg) { return std::strcmp(arg, "--data") == 0 || std::strcmp(arg, "--settings") == 0; }

void printErr(const QString& s) { std::fputs((s + u'\n').toUtf8().constData(), stderr); }

const char16_t kUsage[] =
    u"Использование:\n"
    u"  vetcert [--data КАТАЛОГ] [--settings ФАЙЛ]            открыть программу\n"
    u"  vetcert [--data КАТАЛОГ] import --file ИМЯ ФАЙЛ.csv    добавить записи из CSV\n"
    u"  vetcert [--data КАТАЛОГ] export --file ИМЯ [--order ПОРЯДОК] [--filter ВЫРАЖЕНИЕ]\n"
    u"  vetcert [--data КАТАЛОГ] demo-data --certificates N [--counterparties M] [--seed S]\n"
    u"  vetcert [--data КАТАЛОГ] check                         проверить файлы данных и перестроить ключи\n"
    u"ИМЯ: FORMA3, KAGENT, LICENZIY, LAST или ISSUERS.\n"
    u"ПОРЯДОК: ключ (FR3:K4), поля со знаками (+FR3:datav,-FR3:Nform) или ключ и за ним поля.\n"
    u"ВЫРАЖЕНИЕ: условие над полями, например \"FR3:NFORM >= 100 AND UPPER(FR3:S2) = 'ЗАРЯ'\".";

} // namespace

bool isCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (takesValue(argv[i])) {
            ++i;
            continue;
        }
        if (argv[i][0] != '-')
            return true;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    }
    return false;
}

int run(const QStringList& arguments)
{
    Options opt;
    opt.dataDir = QDir::currentPath();
    QString command;
    QStringList rest;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == u"--data"_s || a == u"--settings"_s) {
            if (i + 1 >= arguments.size()) {
                printErr(u"vetcert: после %1 нужно значение\n"_s.arg(a) + QString::fromUtf16(kUsage));
                return 2;
            }
            if (a == u"--data"_s)
                opt.dataDir = arguments[++i];
            else
                ++i;
        } else if (a == u"--help"_s || a == u"-h"_s) {
            std::fputs((QString::fromUtf16(kUsage) + u'\n').toUtf8().constData(), stdout);
            return 0;
        } else if (command.isEmpty() && !a.startsWith(u'-')) {
            command = a;
        } else {
            rest << a;
        }
    }
    if (!QDir(opt.dataDir).exists()) {
        printErr(u"vetcert: каталог данных «%1» не существует"_s.arg(opt.dataDir));
        return 1;
    }
    opt.args = rest;
    if (command == u"import"_s)
        return runImport(opt);
    if (command == u"export"_s)
        return runExport(opt);
    if (command == u"demo-data"_s)
        return runDemoData(opt);
    if (command == u"check"_s)
        return runCheck(opt);
    printErr(u"vetcert: неизвестная команда «%1»\n"_s.arg(command) + QString::fromUtf16(kUsage));
    return 2;
}

bool Options::take(const QString& name, QString* value, int* status)
{
    const qsizetype i = args.indexOf(name);
    if (i < 0)
        return false;
    if (i + 1 >= args.size()) {
        printErr(u"vetcert: после %1 нужно значение"_s.arg(name));
        *status = 2;
        return false;
    }
    *value = args[i + 1];
    args.remove(i, 2);
    return true;
}

int Options::usageError(const QString& text)
{
    printErr(u"vetcert: "_s + text + u'\n' + QString::fromUtf16(kUsage));
    return 2;
}

void Options::error(const QString& text) { printErr(u"vetcert: "_s + text); }

} // namespace vetcert::cli
