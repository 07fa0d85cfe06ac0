// The installer's own texts, Windows-1252 bytes. Multi-line texts join their pieces
// with LF CR LF CR, as every message of the program does.
#pragma once

namespace inst::text {

#define INST_NEWLINE "\n\r\n\r"

inline constexpr const char kNewline[] = INST_NEWLINE;

inline constexpr const char kPrompt[] =
    "Este proceso instala la Ayuda de BREVANT PROFESIONAL v.2010 Release 03." INST_NEWLINE
    "Por favor, seleccione UNIDAD de proceso :";

inline constexpr const char kNothingFound[] =
    "En la UNIDAD seleccionada no se encontr\xF3 ning\xFAn Brevant Profesional v.2010 R03." INST_NEWLINE
    "Ayuda NO instalada.";
inline constexpr const char kNothingFoundTitle[] = " Atenci\xF3n";

inline constexpr const char kInstalled[] = "La AYUDA de Brevant Profesional se instal\xF3 correctamente.";
inline constexpr const char kInstalledTitle[] = " Proceso finalizado";

// Some copy failed: this head, then one piece per installation that did not get
// the help file, each its folder.
inline constexpr const char kCopyFailedHead[] =
    "No se pudo instalar la AYUDA de Brevant Profesional en:";
inline constexpr const char kCopyFailedTitle[] = " Atenci\xF3n";

#undef INST_NEWLINE

}  // namespace inst::text
