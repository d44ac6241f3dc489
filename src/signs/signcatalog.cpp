// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "signcatalog.h"

#include <array>
#include <span>
#include <string_view>

namespace {

// One row of a sign table (UTF-8 text, exactly as shown).
struct CatalogEntry {
    std::string_view code;
    std::string_view name;
};

// Warning signs, group A, positions 0 to 61.
//
// Mended names: the pairs A-3A/A-3B, A-5A/A-5B, A-7A/A-7B, A-11A/A-11B and A-13A/A-13B carry the
// names of today's official sign manual (in force since CTB Anexo II of 2004), where the "A"
// sign of each pair is the left-hand one. The catalogue these rows come from had the two names
// of each pair the other way round, which would teach a candidate the wrong answer; so within
// each pair the two names trade places. Codes, positions and picture names are unchanged, and
// the pictures already show the official signs.
//
// Today's names: where the official list of signs in force today names a sign otherwise than the
// catalogue these rows come from did, the row carries today's name (A-8, A-30, A-31, A-32A, A-32B,
// A-35 here, R-24A and R-27 below). Codes, positions and pictures stay. Where
// today's list splits an old code (R-8 into R-8a and R-8b, A-30 into A-30a to A-30c), the row
// takes the name of the sign its picture shows.
constexpr std::array<CatalogEntry, 62> warningSigns{{
    {"A-1A", "Curva acentuada à esquerda"},
    {"A-1B", "Curva acentuada à direita"},
    {"A-2A", "Curva à esquerda"},
    {"A-2B", "Curva à direita"},
    {"A-3A", "Pista sinuosa à esquerda"}, // mended, see above
    {"A-3B", "Pista sinuosa à direita"},  // mended
    {"A-4A", "Curva acentuada em \"s\" à esquerda"},
    {"A-4B", "Curva acentuada em \"s\" à direita"},
    {"A-5A", "Curva em \"s\" à esquerda"}, // mended
    {"A-5B", "Curva em \"s\" à direita"},  // mended
    {"A-6A", "Cruzamento de vias"},
    {"A-7A", "Via lateral à esquerda"}, // mended
    {"A-7B", "Via lateral à direita"},  // mended
    {"A-8", "Interseção em \"T\""},     // today's name, see above
    {"A-9", "Bifurcação em \"Y\""},
    {"A-10A", "Entroncamento obliquo à esquerda"},
    {"A-10B", "Entroncamento obliquo à direita"},
    {"A-11A", "Junções sucessivas contrárias primeira à esquerda"}, // mended
    {"A-11B", "Junções sucessivas contrárias primeira à direita"},  // mended
    {"A-12", "Interseção em círculo"},
    {"A-13A", "Confluência à esquerda"}, // mended
    {"A-13B", "Confluência à direita"},  // mended
    {"A-14", "Semáforo a frente"},
    {"A-15", "Parada obrigatória à frente"},
    {"A-16", "Bonde"},
    {"A-17", "Pista irregular"},
    {"A-18", "Saliência ou lombada"},
    {"A-19", "Depressão"},
    {"A-20A", "Declive acentuado"},
    {"A-20B", "Aclive acentuado"},
    {"A-21A", "Estreitamento de pista ao centro"},
    {"A-21B", "Estreitamento de pista a esquerda"},
    {"A-21C", "Estreitamento de pista a direita"},
    {"A-22", "Ponte estreita"},
    {"A-23", "Ponte móvel"},
    {"A-24", "Obras"},
    {"A-25", "Mão dupla adiante"},
    {"A-26A", "Sentido único"},
    {"A-26B", "Sentido duplo"},
    {"A-27", "Área com desmoronamento"},
    {"A-28", "Pista escorregadia"},
    {"A-29", "Projeção de cascalho"},
    {"A-30", "Trânsito de ciclistas"},             // today A-30a
    {"A-31", "Trânsito de máquinas agrícolas"},    // today's name
    {"A-32A", "Trânsito de pedestres"},            // today's name
    {"A-32B", "Passagem sinalizada de pedestres"}, // today's name
    {"A-33A", "Área escolar"},
    {"A-33B", "Passagem sinalizada de escolares"},
    {"A-34", "Crianças"},
    {"A-35", "Animais"}, // today's name
    {"A-36", "Animais selvagens"},
    {"A-37", "Altura limitada"},
    {"A-38", "Largura limitada"},
    {"A-39", "Passagem de nível sem barreira"},
    {"A-40", "Passagem de nível com barreira"},
    {"A-41", "Cruz de Santo André"},
    {"A-42A", "Inicio de pista dupla"},
    {"A-42B", "Fim de pista dupla"},
    {"A-42C", "Pista dividida"},
    {"A-43", "Aeroporto"},
    {"A-44", "Vento lateral"},
    {"A-45", "Rua sem saída"},
}};

// Regulatory signs, group R, positions 0 to 40.
constexpr std::array<CatalogEntry, 41> regulatorySigns{{
    {"R-1", "Parada obrigatória"},
    {"R-2", "Dê a preferência"},
    {"R-3", "Sentido proibido"},
    {"R-4A", "Proibido virar à esquerda"},
    {"R-4B", "Proibido virar à direita"},
    {"R-5", "Proibido retornar à esquerda"},
    {"R-6A", "Proibido estacionar"},
    {"R-6B", "Estacionamento regulamentado"},
    {"R-6C", "Proibido parar e estacionar"},
    {"R-7", "Proibido ultrapassar"},
    {"R-8", "Proibido mudar de faixa ou pista de trânsito da esquerda para direita"}, // today R-8a
    {"R-9", "Proibido trânsito de caminhões"},
    {"R-10", "Proibido trânsito de veículos automotores"},
    {"R-11", "Proibido trânsito de veículos de tração animal"},
    {"R-12", "Proibido trânsito de bicicletas"},
    {"R-13", "Proibido trânsito de tratores e máquinas de obras"}, // today's name
    {"R-14", "Peso bruto total máximo permitido"},                 // today's name
    {"R-15", "Altura máxima permitida"},
    {"R-16", "Largura máxima permitida"},
    {"R-17", "Peso máximo permitido por eixo"},
    {"R-18", "Comprimento máximo permitido"},
    {"R-19", "Velocidade máxima permitida"},
    {"R-20", "Proibido acionar buzina ou sinal sonoro"},
    {"R-21", "Alfândega"},
    {"R-22", "Uso obrigatório de correntes"},
    {"R-23", "Conserve-se a direita"},
    {"R-24A", "Sentido de circulação da via/pista"}, // today's name
    {"R-24B", "Passagem obrigatória"},
    {"R-25A", "Vire a esquerda"},
    {"R-25B", "Vire a direita"},
    {"R-25C", "Siga em frente ou a esquerda"},
    {"R-25D", "Siga em frente ou a direita"},
    {"R-26", "Siga em frente"},
    {"R-27", "Ônibus, caminhões e veículos de grande porte mantenham-se à direita"}, // today's name
    {"R-28", "Duplo sentido de circulação"},
    {"R-29", "Proibido transito de pedestres"},
    {"R-30", "Pedestre ande pela esquerda"},
    {"R-31", "Pedestre ande pela direita"},
    {"R-32", "Circulação exclusiva de ônibus"},
    {"R-33", "Sentido circular obrigatório"},
    {"R-34", "Circulação exclusiva de bicicletas"},
}};

// Indication and auxiliary-service signs, group I; positions 0 to 2 hold no sign.
constexpr std::array<CatalogEntry, 24> indicationSigns{{
    {"", ""},
    {"", ""},
    {"", ""},
    {"I-1", "Rodovia panamericana"},
    {"I-3", "Rodovia nacional"},
    {"I-6", "Sentido e distância"},
    {"I-8", "Via interrompida"},
    {"I-9", "Via interrompida"},
    {"I-9A", "Sentido de circulação"},
    {"I-9B", "Sentido de circulação"},
    {"I-10", "Placa de localização"},
    {"I-11", "Área de estacionamento"},
    {"I-12", "Serviço telefônico"},
    {"I-13", "Serviço mecânico"},
    {"I-14", "Abastecimento"},
    {"I-15", "Pronto socorro"},
    {"I-16", "Serviço sanitário"},
    {"I-17", "Restaurante"},
    {"I-18", "Hotel"},
    {"I-19", "Área de campismo"},
    {"I-20", "Aeroporto"},
    {"I-21", "Transporte sobre água"},
    {"I-22", "Estacionamento de trailer"},
    {"I-23", "Ponto de parada"},
}};

// Flow-dividing road markings, positions 1 to 7 (row 0 is position 1).
constexpr std::array<std::string_view, SignCatalog::markingCount> roadMarkings{{
    "Faixa de divisão de fluxos opostos - Proibido ultrapassar",
    "Faixa de divisão de fluxos opostos - Permitido ultrapassar",
    "Faixa de divisão de fluxos opostos - Permite ultrapassar quando a 1ª faixa à sua esquerda for "
    "pontilhada",
    "Faixa de divisão de fluxos opostos - Proibido ultrapassar quando a 1ª faixa à sua esquerda for "
    "contínua",
    "Faixa de divisão de fluxos opostos - Divide a via em duas mão direcionais e não permite a "
    "ultrapassagem",
    "Faixa de divisão de fluxo do mesmo sentido - Proibido ultrapassar",
    "Faixa de divisão de fluxo do mesmo sentido - Permitido ultrapassar",
}};

// Kinds of vehicle plate, positions 1 to 6 (row 0 is position 1); each label begins with a blank.
constexpr std::array<std::string_view, SignCatalog::plateCount> plateKinds{{
    " Particular",
    " Aluguel",
    " Oficial",
    " Experiência",
    " Fabricante",
    " Aprendizado",
}};

struct GroupData {
    char letter;
    int first;
    int beforeFirst;
    std::span<const CatalogEntry> rows; // indexed by position; the last row is the last position
};

const GroupData &group(SignGroup g)
{
    static const GroupData groups[] = {
        {'A', 0, -1, warningSigns},
        {'R', 0, -1, regulatorySigns},
        {'I', 3, 2, indicationSigns},
    };
    return groups[static_cast<int>(g)];
}

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

constexpr SignGroup allGroups[] = {SignGroup::A, SignGroup::R, SignGroup::I};

} // namespace

char SignCatalog::letter(SignGroup g)
{
    return group(g).letter;
}

int SignCatalog::firstPosition(SignGroup g)
{
    return group(g).first;
}

int SignCatalog::lastPosition(SignGroup g)
{
    return static_cast<int>(group(g).rows.size()) - 1;
}

int SignCatalog::beforeFirst(SignGroup g)
{
    return group(g).beforeFirst;
}

bool SignCatalog::holdsSign(SignGroup g, int position)
{
    return position >= firstPosition(g) && position <= lastPosition(g);
}

QString SignCatalog::code(SignGroup g, int position)
{
    return holdsSign(g, position) ? text(group(g).rows[static_cast<std::size_t>(position)].code) : QString();
}

QString SignCatalog::name(SignGroup g, int position)
{
    return holdsSign(g, position) ? text(group(g).rows[static_cast<std::size_t>(position)].name) : QString();
}

SignView SignCatalog::sign(SignGroup g, int position)
{
    return {FiguraPlaca(g, position), code(g, position), name(g, position)};
}

QString SignCatalog::NomeFaixa(int position)
{
    return position >= 1 && position <= markingCount
               ? text(roadMarkings[static_cast<std::size_t>(position - 1)])
               : QString();
}

QString SignCatalog::FiguraFaixa(int position)
{
    return position >= 1 && position <= markingCount ? QStringLiteral("FAIXA%1").arg(position) : QString();
}

QString SignCatalog::NomePlacaCarro(int position)
{
    return position >= 1 && position <= plateCount ? text(plateKinds[static_cast<std::size_t>(position - 1)])
                                                   : QString();
}

QString SignCatalog::FiguraPlacaCarro(int position)
{
    return position >= 1 && position <= plateCount ? QStringLiteral("PLC%1").arg(position) : QString();
}

std::optional<SignPlace> LocalizarPlaca(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    const std::string_view wanted(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    for (SignGroup g : allGroups) {
        for (int p = SignCatalog::firstPosition(g); p <= SignCatalog::lastPosition(g); ++p) {
            if (group(g).rows[static_cast<std::size_t>(p)].code == wanted)
                return SignPlace{g, p};
        }
    }
    return std::nullopt;
}

QString FiguraPlaca(SignGroup g, int position)
{
    if (!SignCatalog::holdsSign(g, position))
        return {};
    return QString(QLatin1Char(SignCatalog::letter(g))) + QString::number(position);
}
