#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class Upgrade_message_Dialog;
}

/// A small message window for an update: the product model and firmware
/// version, a progress bar and a closing success notice. Fed by the main
/// window's send_mtd_version, send_possvalue and done.
class Upgrade_message_Dialog : public QDialog
{
    Q_OBJECT

public:
    explicit Upgrade_message_Dialog(QWidget *parent = nullptr);
    ~Upgrade_message_Dialog() override;

    Ui::Upgrade_message_Dialog *ui = nullptr;

public slots:
    void rec_mtd_version(QString MTD, QString version);
    void rec_possvalue(int value);
    void upgrade_done();
};
