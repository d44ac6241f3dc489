// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "espeakvoice.h"

#include "platform.h"

#include <QByteArray>

#include <espeak-ng/speak_lib.h>

#include <mutex>

namespace {
struct Api {
    decltype(&espeak_Initialize) initialize = nullptr;
    decltype(&espeak_SetVoiceByProperties) setVoice = nullptr;
    decltype(&espeak_SetParameter) setParameter = nullptr;
    decltype(&espeak_SetSynthCallback) setCallback = nullptr;
    decltype(&espeak_Synth) synth = nullptr;
    int sampleRate = 0;
    QString problem;
};

template <typename F> bool resolve(void *lib, const char *name, F &out)
{
    out = reinterpret_cast<F>(Platform::librarySymbol(lib, name));
    return out != nullptr;
}

// The sink of the synthesis running now (espeak-ng hands its blocks to one callback).
const ESpeakVoice::Sink *runningSink = nullptr;
bool stopped = false;

int onSamples(short *wav, int count, espeak_EVENT *)
{
    if (!wav || count <= 0 || !runningSink)
        return stopped ? 1 : 0;
    if (!(*runningSink)(wav, count))
        stopped = true;
    return stopped ? 1 : 0;
}

std::mutex &lock()
{
    static std::mutex m;
    return m;
}

// Loads the library and the voice once; called with lock() held.
Api &api()
{
    static Api a = [] {
        Api loaded;
        const QString install = QStringLiteral("Para ouvir as questões, instale os pacotes libespeak-ng1 e "
                                               "espeak-ng-data (voz em português do Brasil).");
        void *lib = Platform::loadLibrary("espeak-ng", 1); // libespeak-ng.so.1
        if (!lib) {
            loaded.problem = install;
            return loaded;
        }
        if (!resolve(lib, "espeak_Initialize", loaded.initialize) ||
            !resolve(lib, "espeak_SetVoiceByProperties", loaded.setVoice) ||
            !resolve(lib, "espeak_SetParameter", loaded.setParameter) ||
            !resolve(lib, "espeak_SetSynthCallback", loaded.setCallback) ||
            !resolve(lib, "espeak_Synth", loaded.synth)) {
            loaded.problem = install;
            return loaded;
        }
        // Synchronous: the blocks come to the callback on the thread that asks for the speech.
        const int rate = loaded.initialize(AUDIO_OUTPUT_SYNCHRONOUS, 200, nullptr, 0);
        if (rate <= 0) {
            loaded.problem = install;
            return loaded;
        }
        espeak_VOICE voice{};
        voice.languages = "pt-br";
        if (loaded.setVoice(&voice) != EE_OK) {
            loaded.problem = QStringLiteral("Para ouvir as questões, instale o pacote espeak-ng-data "
                                            "(voz em português do Brasil).");
            return loaded;
        }
        loaded.setCallback(onSamples);
        loaded.sampleRate = rate;
        return loaded;
    }();
    return a;
}
} // namespace

int ESpeakVoice::wordsPerMinute(Speed speed)
{
    switch (speed) {
    case Speed::Slow:
        return 135;
    case Speed::Fast:
        return 230;
    case Speed::Normal:
        break;
    }
    return 175;
}

QString ESpeakVoice::problem()
{
    const std::lock_guard guard(lock());
    return api().problem;
}

int ESpeakVoice::sampleRate()
{
    const std::lock_guard guard(lock());
    return api().sampleRate;
}

bool ESpeakVoice::synthesise(const QString &text, Speed speed, const Sink &sink, QString *why)
{
    const std::lock_guard guard(lock());
    Api &a = api();
    if (!a.problem.isEmpty()) {
        if (why)
            *why = a.problem;
        return false;
    }
    const QByteArray utf8 = text.toUtf8();
    a.setParameter(espeakRATE, wordsPerMinute(speed), 0);
    runningSink = &sink;
    stopped = false;
    const espeak_ERROR result = a.synth(utf8.constData(), static_cast<size_t>(utf8.size()) + 1, 0,
                                        POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    runningSink = nullptr;
    if (result != EE_OK && !stopped) {
        if (why)
            *why = QStringLiteral("A voz não conseguiu ler o texto (espeak-ng, erro %1).").arg(result);
        return false;
    }
    return true;
}
