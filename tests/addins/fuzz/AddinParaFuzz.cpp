// Feeds arbitrary parameter strings, as the registry hand-off gives them, to the loads of the four
// add-in settings programs. The first byte picks the program (its low two bits) and the model (the
// rest, modulo the program's models); the other bytes are Para0, a NUL, then Para1. Each string
// reaches a program as the registry's wide text converted to code page 932, so that is what is
// loaded. A load never fails; what it gives saves to strings of the program's exact lengths, with
// its marker, without a NUL, that survive the wide-text round trip; and a load of what was saved
// saves the same strings again.
#include <QByteArray>

#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "addins/frame/HandOffClient.h"
#include "addins/marrent/Settings.h"
#include "addins/olvide/OlvidePara.h"
#include "addins/quillon/Settings.h"
#include "addins/tessary/TessaryPara.h"
#include "platform/Cp932.h"
#include "tests/support/FuzzCheck.h"

namespace {

struct Paras {
    QByteArray Para0;
    QByteArray Para1; // empty for a program of one string
};

// A string as the hand-off's reader sees it after the registry.
QByteArray throughRegistry(const QByteArray &bytes)
{
    return platform::cp932::encode(platform::cp932::decode(bytes));
}

void checkString(const QByteArray &text, int length)
{
    FUZZ_REQUIRE(text.size() == length);
    FUZZ_REQUIRE(!text.contains('\0'));
    FUZZ_REQUIRE(throughRegistry(text) == text);
}

Paras olvideSave(const Paras &in, int model)
{
    const QByteArray para0 = olvide::WritePara(olvide::ReadPara(in.Para0), model);
    checkString(para0, olvide::ParaLength);
    return {para0, {}};
}

Paras tessarySave(const Paras &in, int model)
{
    const tessary::TModel *m = tessary::FindModel(model);
    FUZZ_REQUIRE(m != nullptr);
    const tessary::TTessaryState state = tessary::LoadState(in.Para0, in.Para1, *m);
    const tessary::TessaryPara out = tessary::SaveState(state, *m);
    checkString(out.Para0, m->para0Length);
    checkString(out.Para1, tessary::Para1Length);
    FUZZ_REQUIRE(out.Para0.endsWith("D1"));
    return {out.Para0, out.Para1};
}

Paras quillonSave(const Paras &in, int model)
{
    addins::HandOffRequest request;
    request.keyOpened = true;
    request.GyName = QStringLiteral("JOB");
    request.BhtType = model;
    request.SetCount = 1;
    request.Para0 = in.Para0;
    request.Para1 = in.Para1;
    request.hasPara1 = true;
    quillon::LoadOutcome loaded = quillon::LoadQuillon(request);
    FUZZ_REQUIRE(loaded.supported);
    const QByteArray para0 = quillon::BuildPara0(loaded.settings);
    const QByteArray para1 = quillon::BuildPara1(loaded.settings, loaded.limits);
    checkString(para0, quillon::Para0Length);
    checkString(para1, quillon::Para1Length);
    FUZZ_REQUIRE(para0.mid(quillon::Para0MarkerPosition - 1, 2) == quillon::Para0Marker);
    return {para0, para1};
}

Paras marrentSave(const Paras &in, int model)
{
    const std::optional<marrent::ModelLimits> limits = marrent::LimitsOf(model);
    FUZZ_REQUIRE(limits.has_value());
    marrent::MarrentSettings s = marrent::DecodeParas({in.Para0, in.Para1}, *limits);
    marrent::PrepareForSave(s);
    const marrent::ParaStrings out = marrent::EncodeParas(s, *limits);
    checkString(out.Para0, limits->paraLength);
    checkString(out.Para1, limits->paraLength);
    FUZZ_REQUIRE(out.Para0.mid(marrent::MarkerPosition(*limits) - 1, 2) == "P0");
    return {out.Para0, out.Para1};
}

struct Program {
    Paras (*save)(const Paras &, int);
    std::array<int, 7> models; // 0 ends the list
};

constexpr Program Programs[] = {
    {olvideSave, {300, 500, 600, 800, 900, 1300}},
    {tessarySave, {300, 500, 600, 800, 900, 1300, 7080}},
    {quillonSave, {800, 900, 1300}},
    {marrentSave, {500, 600, 800, 900, 1300}},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const Program &program = Programs[data[0] & 3];
    int models = 0;
    while (models < int(program.models.size()) && program.models[std::size_t(models)] != 0)
        ++models;
    const int model = program.models[std::size_t((data[0] >> 2) % models)];

    const QByteArray rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qsizetype split = rest.indexOf('\0');
    const Paras in{throughRegistry(split < 0 ? rest : rest.left(split)),
                   throughRegistry(split < 0 ? QByteArray() : rest.mid(split + 1))};

    Paras saved = program.save(in, model);
    // Marrent writes a barcode record's separator code as the record holds it, and reading a record
    // of a format without a separator gives 44: a record whose format a load has put right takes one
    // more round to settle. Every program must then save the same strings when opened on them again.
    if (&program == &Programs[3])
        saved = program.save(saved, model);
    const Paras again = program.save(saved, model);
    for (const auto &[first, second] :
         {std::pair{saved.Para0, again.Para0}, std::pair{saved.Para1, again.Para1}}) {
        qsizetype at = 0;
        while (at < first.size() && at < second.size() && first.at(at) == second.at(at))
            ++at;
        if (at < first.size() || at < second.size())
            std::fprintf(stderr, "model %d, byte %lld: \"%s\" then \"%s\"\n", model,
                         static_cast<long long>(at + 1), first.mid(at, 24).toHex(' ').constData(),
                         second.mid(at, 24).toHex(' ').constData());
    }
    FUZZ_REQUIRE(again.Para0 == saved.Para0 && again.Para1 == saved.Para1);
    return 0;
}
