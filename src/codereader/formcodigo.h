// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The traffic code reader: shows the traffic code text from "cnt.rtf" beside the program, jumps to
// a chapter chosen in the list and searches the text through a non-modal find dialog.

#include "codereader/linemodel.h"

#include "common/deferredcontent.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTextEdit;
class ReadAloud;
class TFindDialog;
class TPanel;
class TShadowLabel;
struct ArticleRef;

class TFormCodigo : public QWidget {
    Q_OBJECT
public:
    using Construction = WindowConstruction;
    // Deferred construction builds the controls a moment after start-up or when first shown.
    explicit TFormCodigo(QWidget *parent = nullptr, Construction construction = Construction::Immediate);
    // Builds the controls if that has not happened yet.
    void ensureControls() { m_controls.ensure(); }
    ~TFormCodigo() override;

    // The largest cnt.rtf the reader opens (8 MiB); a larger file is refused with a message.
    static constexpr qint64 MaxFileSize = qint64(8) << 20;

    void BBAbrirCodigoClick();
    void ComboBox1Change();
    void BBPesquisarClick();
    void FindDialogFind();
    void CheckBox1Click();
    void BitBtn5Click();
    // Shows a cited article: loads the text first when it is not loaded yet, turns word wrap on,
    // names the chapter in the list, selects the cited passage (ArticleIndex::find: the heading,
    // paragraph, inciso or alínea) and scrolls the heading to the top of the view, or the passage
    // near the top when both do not fit. False when the text could not be loaded or holds no such
    // article.
    bool MostraArtigo(const ArticleRef &ref);

    // The article the reader is at, as it is read aloud: from the heading of the article holding
    // the selection (or, without one, the first line in view) to the line before the next
    // article; empty before the first article or when no text is loaded.
    QString artigoAtual() const;

    // The view's selection in offsets (every line break counts as CR LF).
    qsizetype selStart() const;
    qsizetype selLength() const;
    // Selects length characters from the offset start.
    void setSelection(qsizetype start, qsizetype length);
    // The text as lines, with the offsets the rules use.
    const LineModel &text() const { return m_text; }

    TPanel *PanelTopo = nullptr;
    QLabel *Image1 = nullptr; // the traffic code's emblem, top left
    TShadowLabel *LabelTitulo = nullptr;
    QLabel *LabelSelecione = nullptr;
    QComboBox *ComboBox1 = nullptr; // the chapter list: choosing one jumps to it
    QTextEdit *RichEdit = nullptr;
    TPanel *PanelRodape = nullptr;
    QLabel *LabelDica = nullptr;
    QCheckBox *CheckBox1 = nullptr; // "Quebra de linha": wraps the text at the view's width
    QPushButton *BBAbrirCodigo = nullptr;
    QPushButton *BBPesquisar = nullptr;
    QPushButton *BitBtn5 = nullptr; // " Fechar": closes the window (also Esc)
    TFindDialog *FindDialog = nullptr;

protected:
    void setVisible(bool visible) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void setWordWrap(bool on);

    LineModel m_text;
    bool m_loading = false; // cnt.rtf is being read
    DeferredContent m_controls;
    ReadAloud *m_ouvir = nullptr; // "Ouvir" and F8: the current article
};
