#include "form/startup_texts.h"

namespace form {

const std::array<StartupText, 21> kStartupTexts = {{
    {ControlId::Label1, "Загрузить настройки из INI-файла"},
    {ControlId::Label2, "Каталог - источник"},
    {ControlId::Label3, "Эталонный каталог"},
    {ControlId::Label4, "Каталог(и) назначения"},
    {ControlId::Label5, "Маска"},
    {ControlId::chArchive, "Архивный"},
    {ControlId::chAttr, "Атрибуты"},
    {ControlId::chCompressed, "Сжатый"},
    {ControlId::chCreateSub, "Создавать каталоги"},
    {ControlId::chDate, "Дата - время"},
    {ControlId::chHidden, "Скрытый"},
    {ControlId::chReadOnly, "Только чтение"},
    {ControlId::chSize, "Размер"},
    {ControlId::chSyncSub, "Синхронизировать подкаталоги"},
    {ControlId::chSystem, "Системный"},
    {ControlId::gbFileMode, "Копировать файлы если изменилось"},
    {ControlId::gbPath, "Пути"},
    {ControlId::tsGeneral, "Основные"},
    {ControlId::tsMisc, "Дополнительно"},
    {ControlId::btStart, "Старт"},
    {ControlId::btExit, "Выход"},
}};

}  // namespace form
