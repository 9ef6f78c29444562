#include "app/help_topics.h"

namespace valdex {

namespace {

QList<HelpTopic> MakeTopics() {
    auto t = [](int context, const char* title, const char* body) {
        return HelpTopic{context, QString::fromUtf8(title), QString::fromUtf8(body)};
    };
    return {
        t(0, "Contenido de la ayuda",
          "<p>Límite de Detección y Cuantificación del Sistema (Curva de Calibración).</p>"
          "<p>Temas:</p><ul>"
          "<li><a href=\"topic:1\">Menú Archivo</a></li>"
          "<li><a href=\"topic:2\">Ventana de captura del estudio</a></li>"
          "<li><a href=\"topic:3\">Abrir un archivo</a></li>"
          "<li><a href=\"topic:4\">Cerrar la ventana activa</a></li>"
          "<li><a href=\"topic:5\">Guardar</a> y <a href=\"topic:6\">Guardar como</a></li>"
          "<li><a href=\"topic:7\">Imprimir</a></li>"
          "<li><a href=\"topic:8\">Salir</a></li>"
          "<li><a href=\"topic:10\">Menú Cálculos</a></li>"
          "<li><a href=\"topic:11\">Detección y Cuantificación</a></li>"
          "<li><a href=\"topic:19\">Informe</a></li>"
          "<li><a href=\"topic:20\">Ventanas: mosaico y cascada</a></li>"
          "<li><a href=\"topic:30\">Menú Ayuda</a></li>"
          "<li><a href=\"topic:33\">Acerca del programa</a></li></ul>"),
        t(1, "Menú Archivo",
          "<p>Crea, abre, guarda e imprime un archivo de Curva de Calibración (extensión "
          "w8c). Sólo puede haber un estudio abierto a la vez.</p>"),
        t(2, "Ventana de captura del estudio",
          "<p>La ventana tiene tres páginas:</p><ul>"
          "<li><b>Información General</b>: método, analista, fecha, propiedad medida, "
          "unidades y tipo de curva (Regresión u Ordenada al Origen). Enter pasa al campo "
          "siguiente.</li>"
          "<li><b>Información de niveles</b>: escriba el número de niveles (2 a 10), pulse "
          "«Aceptar niveles» y capture el valor y las réplicas de cada nivel.</li>"
          "<li><b>Captura de Datos</b>: una fila por réplica; escriba cada respuesta. El "
          "botón derecho del ratón ofrece el cálculo.</li></ul>"
          "<p>Los cambios se marcan con «Modificado» en la barra de estado.</p>"),
        t(3, "Abrir un archivo",
          "<p>Abre un archivo de Curva de Calibración ya existente (*.w8c) en una ventana de "
          "captura nueva. Está disponible cuando no hay ninguna ventana abierta.</p>"),
        t(4, "Cerrar",
          "<p>Cierra la ventana activa. Si el estudio tiene cambios sin guardar, el programa "
          "pregunta si desea guardarlos.</p>"),
        t(5, "Guardar",
          "<p>Guarda el estudio en su archivo. Un estudio nuevo pide primero un nombre, como "
          "«Guardar como». Antes de guardar se revisa el número de niveles.</p>"),
        t(6, "Guardar como",
          "<p>Guarda el estudio con un nuevo nombre y/o trayectoria. El programa pregunta "
          "antes de reemplazar un archivo existente.</p>"),
        t(7, "Imprimir",
          "<p>Imprime la información general y los datos, o los resultados, en el diseño "
          "«Lasser» o «Deskjet». Se habilita al entrar a la página de captura de datos con "
          "los niveles completos.</p>"),
        t(8, "Salir",
          "<p>Termina el programa. Cada estudio con cambios pregunta antes si "
          "desea guardarlos.</p>"),
        t(10, "Menú Cálculos",
          "<p>Cálculos de precisión del sistema sobre el estudio de la ventana de captura.</p>"),
        t(11, "Detección y Cuantificación",
          "<p>Ajusta la recta de mínimos cuadrados de la respuesta sobre la cantidad "
          "adicionada y presenta la pendiente, la ordenada al origen con sus intervalos de "
          "confianza al 95 %, la desviación estándar de regresión, los coeficientes de "
          "variación y de determinación, y los límites de detección (LD = 3.3·s/b) y de "
          "cuantificación (LC = 10·s/b).</p><p>Cada cálculo abre una ventana de resultados "
          "nueva; su menú del botón derecho la cierra.</p>"),
        t(19, "Informe",
          "<p>Presenta en una ventana el estudio completo (información general, niveles y "
          "datos) seguido de los resultados.</p>"),
        t(20, "Ventanas",
          "<p><b>Mosaico</b> acomoda las ventanas una sobre otra, cada una tan ancha como la "
          "ventana principal. <b>Cascada</b> las acomoda superpuestas.</p>"),
        t(30, "Menú Ayuda",
          "<p>Pulse F1 en una ventana o sobre una opción del menú para ver su tema de "
          "ayuda.</p>"),
        t(31, "Contenido", "<p>Presenta el contenido de la ayuda.</p>"),
        t(32, "Buscar ayuda sobre...", "<p>Busca un tema de la ayuda por palabra.</p>"),
        t(33, "Acerca de",
          "<p>Presenta información del programa: VALDEX v.w. 3.1, Límite de Detección y "
          "Cuantificación del Sistema.</p>"),
    };
}

} // namespace

const QList<HelpTopic>& HelpTopics() {
    static const QList<HelpTopic> topics = MakeTopics();
    return topics;
}

const HelpTopic& FindHelpTopic(int context) {
    for (const HelpTopic& topic : HelpTopics())
        if (topic.context == context) return topic;
    return HelpTopics().constFirst();
}

QString HelpTopicPage(int context) {
    const HelpTopic& topic = FindHelpTopic(context);
    QString page = QStringLiteral("<h3>%1</h3>%2").arg(topic.title.toHtmlEscaped(), topic.body);
    if (topic.context != 0) page += QStringLiteral("<p><a href=\"topic:0\">Contenido</a></p>");
    return page;
}

} // namespace valdex
