#include "BankSchema.h"

#include "SqlDatabase.h"

#include <QString>

void CreateBankSchema(SqlDatabase &db) {
    static const char *const statements[] = {
        "create table kjks_tigan (tigan_id INTEGER PRIMARY KEY, tixing TEXT, timian TEXT, timian2 TEXT,"
        " tmimage BLOB, daan TEXT, jiexi TEXT, zhang INTEGER, jie INTEGER, YDCS TEXT DEFAULT '0',"
        " DDCS TEXT DEFAULT '0', shoucang TEXT DEFAULT '0', ZQCS INTEGER DEFAULT 0, ZONGCS INTEGER DEFAULT 0,"
        " flag_state INTEGER DEFAULT 0, zongtimian TEXT, shijuan TEXT)",
        "create table kjks_xuanxiang (xuanxiang_id INTEGER PRIMARY KEY, tigan_ID INTEGER, timian TEXT,"
        " flag_state INTEGER DEFAULT 0)",
        "create table zongtigan (ID INTEGER PRIMARY KEY, zongtimian TEXT, timian2 TEXT, tmimage BLOB, daan TEXT,"
        " jiexi TEXT, zhang INTEGER, jie INTEGER, YDCS TEXT DEFAULT '0', DDCS TEXT DEFAULT '0',"
        " shoucang TEXT DEFAULT '0', ZQCS INTEGER DEFAULT 0, ZONGCS INTEGER DEFAULT 0, shijuan TEXT,"
        " flag_state INTEGER DEFAULT 0)",
        "create table kjks_zhangjie (daima TEXT PRIMARY KEY, mc TEXT)",
        "create table kjks_type (kjks_type_id INTEGER PRIMARY KEY, kjks_type_name TEXT, danxuan TEXT,"
        " danxuanti TEXT, danxuanfen TEXT, duoxuan TEXT, duoxuanti TEXT, duoxuanfen TEXT, panduan TEXT,"
        " panduanti TEXT, panduanfen TEXT, shicaotype TEXT, shicaoti TEXT, shicaofen TEXT)",
        "create table kjks_SJML (sjID INTEGER PRIMARY KEY, DTKSSJ TEXT, JJSJ TEXT, DEFEN REAL, DanDeFen REAL,"
        " DuoDeFen REAL, PanDeFen REAL, AnLiDeFen REAL, flag_state INTEGER DEFAULT 0)",
        "create table shijuan (ID INTEGER PRIMARY KEY AUTOINCREMENT, sjID INTEGER, xth INTEGER, tixing TEXT,"
        " tigan_id INTEGER, daan TEXT, KSDA TEXT, defen REAL, kaolv TEXT)",
        "create table sys_option (option_id INTEGER PRIMARY KEY, option_name TEXT, option_value TEXT)",
    };
    for (const char *sql : statements)
        db.exec(QString::fromLatin1(sql));
}
