<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
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
</context>
<context>
    <name>aboutWindow</name>
    <message>
        <source>About Corvane</source>
        <translation>Acerca de Corvane</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
</TS>
