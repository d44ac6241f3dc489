#pragma once
// The download window: the maker's products, downloaded over HTTP and listed from their archive.

#include <QWidget>

class TFormDownload : public QWidget {
    Q_OBJECT
public:
    explicit TFormDownload(QWidget *parent = nullptr);

private:
    void FormCreate();
};

// The program-wide reference to the download window.
extern TFormDownload *FormDownload;
