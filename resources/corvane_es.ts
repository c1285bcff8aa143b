<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>CommandLine</name>
    <message>
        <source>Shows the log texts that programs send it as UDP datagrams, in four panes.</source>
        <translation>Muestra en cuatro paneles los textos de log que los programas le envían como datagramas UDP.</translation>
    </message>
    <message>
        <source>Shows this help and exits.</source>
        <translation>Muestra esta ayuda y termina.</translation>
    </message>
    <message>
        <source>Shows the version and exits.</source>
        <translation>Muestra la versión y termina.</translation>
    </message>
    <message>
        <source>Keeps at most &lt;texts&gt; texts in each pane, letting the oldest go; 0 keeps all. The default is %1.</source>
        <translation>Guarda como mucho &lt;textos&gt; textos en cada panel y descarta los más antiguos; 0 los guarda todos. Por omisión, %1.</translation>
    </message>
    <message>
        <source>texts</source>
        <translation>textos</translation>
    </message>
    <message>
        <source>unexpected argument &quot;%1&quot;</source>
        <translation>argumento inesperado &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--history takes a whole number of texts, 0 for no limit, not &quot;%1&quot;</source>
        <translation>--history espera un número entero de textos, 0 para no poner límite, no &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Keeps at most &lt;size&gt; bytes of text in each pane, two a character, letting the oldest texts go; K, M or G after the number count KiB, MiB or GiB, and 0 keeps all. The default is %1M. The pane lets texts go at whichever limit it reaches first, this or --history.</source>
        <translation>Guarda como mucho &lt;tamaño&gt; bytes de texto en cada panel, dos por carácter, y descarta los textos más antiguos; K, M o G tras el número cuentan KiB, MiB o GiB, y 0 lo guarda todo. Por omisión, %1M. El panel descarta textos en el límite que alcance primero, este o --history.</translation>
    </message>
    <message>
        <source>size</source>
        <translation>tamaño</translation>
    </message>
    <message>
        <source>--history-size takes a size in bytes such as 500000, 64M or 1G, 0 for no limit, not &quot;%1&quot;</source>
        <translation>--history-size espera un tamaño en bytes como 500000, 64M o 1G, 0 para no poner límite, no &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Reads and keeps the filter and highlight rules in &lt;file&gt; instead of ~/.corvane/filters.json, so that a team can share them.</source>
        <translation>Lee y guarda las reglas de filtrado y resaltado en &lt;file&gt; en lugar de ~/.corvane/filters.json, para que un equipo pueda compartirlas.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>archivo</translation>
    </message>
    <message>
        <source>--filters takes the name of a rules file</source>
        <translation>--filters necesita el nombre de un archivo de reglas</translation>
    </message>
    <message>
        <source>--record, --open and --export go one at a time</source>
        <translation>--record, --open y --export van de uno en uno</translation>
    </message>
    <message>
        <source>--%1 takes the name of a file</source>
        <translation>--%1 lleva el nombre de un archivo</translation>
    </message>
    <message>
        <source>--record-limit takes a size in bytes such as 500000, 64M or 1G, 0 for no limit, not &quot;%1&quot;</source>
        <translation>--record-limit lleva un tamaño en bytes como 500000, 64M o 1G, 0 para no tener límite, no &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--%1 goes with --open or --export</source>
        <translation>--%1 va con --open o --export</translation>
    </message>
    <message>
        <source>--%1 takes a local time such as &quot;2026-12-08 10:00&quot; or &quot;10:00&quot;, or a duration back from the end such as -10m, not &quot;%2&quot;</source>
        <translation>--%1 lleva una hora local como &quot;2026-12-08 10:00&quot; o &quot;10:00&quot;, o una duración contada hacia atrás desde el final como -10m, no &quot;%2&quot;</translation>
    </message>
    <message>
        <source>Records every datagram that arrives to the SQLite file &lt;file&gt;, appending when it is a recording already.</source>
        <translation>Graba cada datagrama que llega en el archivo SQLite &lt;archivo&gt;, añadiéndolo al final si ya es una grabación.</translation>
    </message>
    <message>
        <source>Lets the oldest datagrams of the recording go when its file reaches &lt;size&gt; bytes; K, M or G after the number count KiB, MiB or GiB, and 0 keeps all. The default is %1G.</source>
        <translation>Descarta los datagramas más antiguos de la grabación cuando su archivo llega a &lt;tamaño&gt; bytes; K, M o G tras el número cuentan KiB, MiB o GiB, y 0 lo conserva todo. El valor predeterminado es %1G.</translation>
    </message>
    <message>
        <source>Shows the recording &lt;file&gt; instead of listening: the newest texts of each pane within the history limits.</source>
        <translation>Muestra la grabación &lt;archivo&gt; en lugar de escuchar: los textos más recientes de cada panel dentro de los límites del historial.</translation>
    </message>
    <message>
        <source>Writes the recording &lt;file&gt; to the standard output as JSON lines, one object a text, and exits.</source>
        <translation>Escribe la grabación &lt;archivo&gt; en la salida estándar como líneas JSON, un objeto por texto, y termina.</translation>
    </message>
    <message>
        <source>With --open or --export, the texts from &lt;time&gt; on: a local time such as &quot;2026-12-08 10:00&quot; or &quot;10:00&quot; (today), or a duration back from the recording&apos;s end such as -10m (s, m, h, d).</source>
        <translation>Con --open o --export, los textos desde &lt;hora&gt;: una hora local como &quot;2026-12-08 10:00&quot; o &quot;10:00&quot; (hoy), o una duración contada hacia atrás desde el final de la grabación como -10m (s, m, h, d).</translation>
    </message>
    <message>
        <source>time</source>
        <translation>hora</translation>
    </message>
    <message>
        <source>With --open or --export, the texts up to &lt;time&gt;, given as for --from.</source>
        <translation>Con --open o --export, los textos hasta &lt;hora&gt;, indicada como en --from.</translation>
    </message>
</context>
<context>
    <name>FilterRule</name>
    <message>
        <source>Red</source>
        <translation>Rojo</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Naranja</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Amarillo</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Verde</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Azul</translation>
    </message>
    <message>
        <source>Violet</source>
        <translation>Violeta</translation>
    </message>
    <message>
        <source>Grey</source>
        <translation>Gris</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find</source>
        <translation>Buscar</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Distinguir mayúsculas</translation>
    </message>
    <message>
        <source>Close the find bar</source>
        <translation>Cerrar la barra de búsqueda</translation>
    </message>
    <message>
        <source>No matches</source>
        <translation>Sin coincidencias</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 de %2</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filtrar</translation>
    </message>
    <message>
        <source>Shows only the texts that contain what you look for, while the find bar is open</source>
        <translation>Muestra solo los textos que contienen lo que busca, mientras la barra de búsqueda está abierta</translation>
    </message>
</context>
<context>
    <name>HiddenLabel</name>
    <message>
        <source>%1 hidden</source>
        <translation>%1 ocultos</translation>
    </message>
    <message>
        <source>Texts of this pane that the filter rules hide. They are kept, counted in the tab&apos;s title, and come back when the rules change.</source>
        <translation>Textos de este panel que ocultan las reglas de filtrado. Se conservan, cuentan en el título de la pestaña y vuelven cuando cambian las reglas.</translation>
    </message>
</context>
<context>
    <name>LogMenus</name>
    <message>
        <source>Log</source>
        <translation>Registro</translation>
    </message>
    <message>
        <source>Save log as...</source>
        <translation>Guardar registro como...</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Ver</translation>
    </message>
    <message>
        <source>Follow new texts</source>
        <translation>Seguir los textos nuevos</translation>
    </message>
    <message>
        <source>Save log as</source>
        <translation>Guardar registro como</translation>
    </message>
    <message>
        <source>Text (*.txt *.log);;HTML (*.html)</source>
        <translation>Texto (*.txt *.log);;HTML (*.html)</translation>
    </message>
    <message>
        <source>The log could not be saved to %1:
%2</source>
        <translation>No se pudo guardar el registro en %1:
%2</translation>
    </message>
    <message>
        <source>Find...</source>
        <translation>Buscar...</translation>
    </message>
    <message>
        <source>Find next</source>
        <translation>Buscar siguiente</translation>
    </message>
    <message>
        <source>Find previous</source>
        <translation>Buscar anterior</translation>
    </message>
    <message>
        <source>Clear pane</source>
        <translation>Borrar el panel</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Filters and highlights...</source>
        <translation>Filtros y resaltados...</translation>
    </message>
    <message>
        <source>Record to...</source>
        <translation>Grabar en...</translation>
    </message>
    <message>
        <source>Stop recording</source>
        <translation>Detener la grabación</translation>
    </message>
    <message>
        <source>Open recording...</source>
        <translation>Abrir grabación...</translation>
    </message>
    <message>
        <source>Recordings (*.sqlite *.db);;All files (*)</source>
        <translation>Grabaciones (*.sqlite *.db);;Todos los archivos (*)</translation>
    </message>
    <message>
        <source>Record to</source>
        <translation>Grabar en</translation>
    </message>
    <message>
        <source>Open recording</source>
        <translation>Abrir grabación</translation>
    </message>
</context>
<context>
    <name>LogPane</name>
    <message>
        <source>Copy all</source>
        <translation>Copiar todo</translation>
    </message>
    <message>
        <source>Clear this pane</source>
        <translation>Borrar este panel</translation>
    </message>
</context>
<context>
    <name>LossLabel</name>
    <message>
        <source>Datagrams that the system dropped at the viewer&apos;s socket since it started listening, because they came faster than the viewer could read them.</source>
        <translation>Datagramas que el sistema descartó en el socket del visor desde que empezó a escuchar, porque llegaron más rápido de lo que el visor podía leerlos.</translation>
    </message>
    <message>
        <source>Datagrams lost: %1</source>
        <translation>Datagramas perdidos: %1</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Corvane</source>
        <translation>Corvane</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Acerca de</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Servidor</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Puerto</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Reiniciar</translation>
    </message>
    <message>
        <source>Clear timeout</source>
        <translation>Espera de borrado</translation>
    </message>
    <message>
        <source>Clear now</source>
        <translation>Borrar ahora</translation>
    </message>
    <message>
        <source>Log 1</source>
        <translation>Log 1</translation>
    </message>
    <message>
        <source>Log 2</source>
        <translation>Log 2</translation>
    </message>
    <message>
        <source>Log 3</source>
        <translation>Log 3</translation>
    </message>
    <message>
        <source>Log 4</source>
        <translation>Log 4</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>Listening at %1:%2</source>
        <translation>Escuchando en %1:%2</translation>
    </message>
    <message>
        <source>Server bind failed. Are you running any other instance of Corvane?</source>
        <translation>Fallo al iniciar servidor. ¿Se está ejecutando ya otra instancia de Corvane?</translation>
    </message>
    <message>
        <source>the settings could not be saved to %1: %2</source>
        <translation>no se pudo guardar la configuración en %1: %2</translation>
    </message>
</context>
<context>
    <name>PaneRules</name>
    <message>
        <source>the filter rules could not be saved to %1: %2</source>
        <translation>no se pudieron guardar las reglas de filtrado en %1: %2</translation>
    </message>
    <message>
        <source>Hide texts like this</source>
        <translation>Ocultar textos como este</translation>
    </message>
    <message>
        <source>Show only texts like this</source>
        <translation>Mostrar solo textos como este</translation>
    </message>
    <message>
        <source>Highlight texts like this</source>
        <translation>Resaltar textos como este</translation>
    </message>
</context>
<context>
    <name>RecordLabel</name>
    <message>
        <source>Recording to %1 (%2)</source>
        <translation>Grabando en %1 (%2)</translation>
    </message>
    <message>
        <source>%1 not recorded</source>
        <translation>%1 sin grabar</translation>
    </message>
    <message>
        <source>Every datagram that arrives is written to %1. Datagrams that came while the disk fell behind are counted as not recorded.</source>
        <translation>Cada datagrama que llega se escribe en %1. Los datagramas que llegaron mientras el disco se quedaba atrás se cuentan como no grabados.</translation>
    </message>
    <message>
        <source>Recording stopped: %1</source>
        <translation>Grabación detenida: %1</translation>
    </message>
    <message>
        <source>Nothing more is written to %1.</source>
        <translation>No se escribe nada más en %1.</translation>
    </message>
</context>
<context>
    <name>Recording</name>
    <message>
        <source>%1 - Corvane</source>
        <translation>%1 - Corvane</translation>
    </message>
    <message>
        <source>Recording %1: %2 datagrams shown</source>
        <translation>Grabación %1: %2 datagramas mostrados</translation>
    </message>
    <message>
        <source>Open recording</source>
        <translation>Abrir grabación</translation>
    </message>
    <message>
        <source>The recording %1 could not be opened:
%2</source>
        <translation>No se pudo abrir la grabación %1:
%2</translation>
    </message>
    <message>
        <source>the file is a recording of version %1, not %2</source>
        <translation>el archivo es una grabación de la versión %1, no de la %2</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>memoria agotada</translation>
    </message>
    <message>
        <source>the file is no recording</source>
        <translation>el archivo no es una grabación</translation>
    </message>
</context>
<context>
    <name>RuleMatcher</name>
    <message>
        <source>No pattern</source>
        <translation>Sin patrón</translation>
    </message>
    <message>
        <source>Not a valid regular expression: %1</source>
        <translation>No es una expresión regular válida: %1</translation>
    </message>
</context>
<context>
    <name>RulesDialog</name>
    <message>
        <source>All</source>
        <translation>Todos</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Ninguno</translation>
    </message>
    <message>
        <source>Filters and highlights</source>
        <translation>Filtros y resaltados</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Activa</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation>Patrón</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>Expresión regular</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Distinguir mayúsculas</translation>
    </message>
    <message>
        <source>Panes</source>
        <translation>Paneles</translation>
    </message>
    <message>
        <source>Colour</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Quitar</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>Subir</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Bajar</translation>
    </message>
    <message>
        <source>At most %1 rules: remove one to add another.</source>
        <translation>Como mucho %1 reglas: quite una para añadir otra.</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Ocultar</translation>
    </message>
    <message>
        <source>Show only</source>
        <translation>Mostrar solo</translation>
    </message>
    <message>
        <source>Highlight</source>
        <translation>Resaltar</translation>
    </message>
    <message>
        <source>Text to match</source>
        <translation>Texto que buscar</translation>
    </message>
</context>
<context>
    <name>RulesFile</name>
    <message>
        <source>is not an object</source>
        <translation>no es un objeto</translation>
    </message>
    <message>
        <source>&quot;action&quot; is not &quot;hide&quot;, &quot;show&quot; or &quot;highlight&quot;</source>
        <translation>&quot;action&quot; no es &quot;hide&quot;, &quot;show&quot; ni &quot;highlight&quot;</translation>
    </message>
    <message>
        <source>&quot;pattern&quot; is not a string</source>
        <translation>&quot;pattern&quot; no es una cadena</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not true or false</source>
        <translation>&quot;%1&quot; no es true ni false</translation>
    </message>
    <message>
        <source>&quot;panes&quot; is not a list of pane numbers from 1 to 4</source>
        <translation>&quot;panes&quot; no es una lista de números de panel del 1 al 4</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a colour such as &quot;#ffc8c8&quot;</source>
        <translation>&quot;%1&quot; no es un color como &quot;#ffc8c8&quot;</translation>
    </message>
    <message>
        <source>not valid JSON at byte %1: %2</source>
        <translation>JSON no válido en el byte %1: %2</translation>
    </message>
    <message>
        <source>no &quot;rules&quot; list</source>
        <translation>no hay lista &quot;rules&quot;</translation>
    </message>
    <message>
        <source>rule %1: %2</source>
        <translation>regla %1: %2</translation>
    </message>
    <message>
        <source>the rules file %1 was not read whole (%2); it is left as it is until the rules change</source>
        <translation>el archivo de reglas %1 no se leyó entero (%2); se deja como está hasta que cambien las reglas</translation>
    </message>
    <message>
        <source>the old file could not be kept as %1</source>
        <translation>no se pudo conservar el archivo anterior como %1</translation>
    </message>
</context>
<context>
    <name>SourcesDock</name>
    <message>
        <source>Sources</source>
        <translation>Fuentes</translation>
    </message>
</context>
<context>
    <name>SourcesModel</name>
    <message>
        <source>Mute</source>
        <translation>Silenciar</translation>
    </message>
    <message>
        <source>Solo</source>
        <translation>Solo</translation>
    </message>
    <message>
        <source>Sender</source>
        <translation>Remitente</translation>
    </message>
    <message>
        <source>Program</source>
        <translation>Programa</translation>
    </message>
    <message>
        <source>Texts</source>
        <translation>Textos</translation>
    </message>
    <message>
        <source>Texts/s (10 s)</source>
        <translation>Textos/s (10 s)</translation>
    </message>
    <message>
        <source>Last seen</source>
        <translation>Visto por última vez</translation>
    </message>
    <message>
        <source>Lost</source>
        <translation>Perdidos</translation>
    </message>
    <message>
        <source>Out of order</source>
        <translation>Desordenados</translation>
    </message>
</context>
<context>
    <name>ViewPrefixes</name>
    <message>
        <source>Show times</source>
        <translation>Mostrar horas</translation>
    </message>
    <message>
        <source>Time since previous</source>
        <translation>Tiempo desde el anterior</translation>
    </message>
    <message>
        <source>Show senders</source>
        <translation>Mostrar remitentes</translation>
    </message>
    <message>
        <source>the view could not be saved to %1: %2</source>
        <translation>no se pudo guardar la vista en %1: %2</translation>
    </message>
</context>
<context>
    <name>WaitingLabel</name>
    <message>
        <source>Texts that arrived while the panes were paused. They show when the panes are unpaused.</source>
        <translation>Textos que llegaron mientras los paneles estaban en pausa. Se muestran al quitar la pausa.</translation>
    </message>
    <message>
        <source>%1 new</source>
        <translation>%1 nuevos</translation>
    </message>
</context>
<context>
    <name>aboutWindow</name>
    <message>
        <source>About Corvane</source>
        <translation>Acerca de Corvane</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;Sans Serif&apos;; font-size:9pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;table border=&quot;0&quot; style=&quot;-qt-table-type: root; margin-top:4px; margin-bottom:4px; margin-left:4px; margin-right:4px;&quot;&gt;
&lt;tr&gt;
&lt;td style=&quot;border: none;&quot;&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;img src=&quot;:/corvane/Resources/about.jpg&quot; /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt; font-weight:600;&quot;&gt;Corvane&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;https://corvane.example.org/&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt; text-decoration: underline; color:#0000ff;&quot;&gt;https://corvane.example.org&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;v1.0&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;Code - Nadia Corvo (&lt;/span&gt;&lt;a href=&quot;mailto:nadia.corvo@example.org&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt; text-decoration: underline; color:#0000ff;&quot;&gt;nadia.corvo@example.org&lt;/span&gt;&lt;/a&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;)&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;Dedicated to everyone who ever found a bug by reading a log.&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;This software is free as in free beer and free speech.&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;If you find this program useful please consider &lt;/span&gt;&lt;a href=&quot;https://corvane.example.org/donate&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;making a donation&lt;/span&gt;&lt;/a&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;.&lt;/span&gt;&lt;/p&gt;&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;Sans Serif&apos;; font-size:9pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;table border=&quot;0&quot; style=&quot;-qt-table-type: root; margin-top:4px; margin-bottom:4px; margin-left:4px; margin-right:4px;&quot;&gt;
&lt;tr&gt;
&lt;td style=&quot;border: none;&quot;&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;img src=&quot;:/corvane/Resources/about.jpg&quot; /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt; font-weight:600;&quot;&gt;Corvane&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;https://corvane.example.org/&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt; text-decoration: underline; color:#0000ff;&quot;&gt;https://corvane.example.org&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;v1.0&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;Código - Nadia Corvo (&lt;/span&gt;&lt;a href=&quot;mailto:nadia.corvo@example.org&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt; text-decoration: underline; color:#0000ff;&quot;&gt;nadia.corvo@example.org&lt;/span&gt;&lt;/a&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;)&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;Dedicado a todos los que alguna vez encontraron un fallo leyendo un log.&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;Este programa es libre y gratuito.&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;Si encuentras útil este programa, por favor considera &lt;/span&gt;&lt;a href=&quot;https://corvane.example.org/donate&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;hacer una donación&lt;/span&gt;&lt;/a&gt;&lt;span style=&quot; font-family:&apos;Ubuntu&apos;; font-size:10pt;&quot;&gt;.&lt;/span&gt;&lt;/p&gt;&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
</TS>
