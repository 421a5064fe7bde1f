#include "9_app/lsp_command_help.h"

namespace kal {

// In the command table's order. The placeholders: v a variable, valor any
// operand, #d a channel number, words in capitals written as they stand,
// a|b one of them, [..] may be left out.
const CommandHelp kCommandHelp[] = {
    {"MIDI", "ação [canal nota velocidade]", "Notas MIDI: INICIA, NL canal nota velocidade, ND canal nota, TT canal programa, PANE, TERMINA."},
    {"DEBUG", "[-]", "Escreve e fala cada comando antes de rodá-lo; DEBUG - (ou DEBUG N...) desliga."},
    {"SEJA", "v valor", "Dá o valor à variável (ou um valor pronto: TAMANHO, MAIUSC, TRIM, POS, PALAVRA, RAND, CHR, ASC, DATA, HORA, DIA, PARAMS, CRLF, TEMPO).", true},
    {"TELA", "LIMPA|@coluna,linha", "LIMPA apaga a tela; @coluna,linha leva o cursor até lá."},
    {"COR", "n", "Muda a cor das letras (0 a 15)."},
    {"FUNDO", "n", "Muda a cor do fundo (0 a 15)."},
    {"ABRE", "#d nome [&]", "Abre o arquivo no canal #d para leitura; com & para escrita no fim dele."},
    {"FECHA", "#d", "Fecha o canal."},
    {"INTERNET", "INICIA|TERMINA", "Aceito por scripts antigos; não faz nada."},
    {"CONECTA", "[SSL] #d máquina porta [&]", "Conecta o canal à porta da máquina (SSL: por TLS); com & não falha e CHECA diz como foi."},
    {"ATIVASSL", "#d", "Conecta o canal de novo por TLS, à última máquina e porta."},
    {"SERVE", "#d porta", "Espera, sem limite de tempo, um cliente na porta."},
    {"OBSERVA", "#d|TECLADO v", "v recebe 1 quando a conexão (ou o teclado) tem algo à espera, senão 0.", true},
    {"ESCREVE", "[#d] valores [&]", "Escreve e fala os valores juntos e um fim de linha (sem ele com &); com #d escreve no canal."},
    {"BIPA", "[valor]", "Com 1 toca o clique; senão o bipe de erro."},
    {"SOMA", "v valor", "Soma o valor ao número da variável.", true},
    {"SUBTRAI", "v valor", "Subtrai o valor do número da variável.", true},
    {"MULTIPLICA", "v valor", "Multiplica o número da variável pelo valor.", true},
    {"DIVIDE", "v valor", "Divide o número da variável pelo valor (divisão inteira).", true},
    {"CONCATENA", "v valor", "Junta o valor ao fim do texto da variável.", true},
    {"COPIA", "destino origem de até", "O destino recebe os caracteres da origem da posição de até a posição até.", true},
    {"SOLETRA", "valor", "Soletra o valor letra por letra e depois o escreve."},
    {"LISTA", "[n] ação [valor]", "Listas: CRIA, ADICIONA valor, TAMANHO v, ITEM i v, DELETA valor, APAGA."},
    {"FALAHORA", "\"HH:MM\"", "Fala a hora dada e espera o fim da fala."},
    {"TITULO", "valor", "Muda o título da janela."},
    {"T\xCDTULO", "valor", "Muda o título da janela."},
    {"DELETA", "v posição quantidade", "Apaga quantidade caracteres de v a partir da posição.", true},
    {"SUBSTITUI", "v antigo novo", "Troca cada antigo por novo no texto de v.", true},
    {"TOCA", "arquivo [&]", "Toca um arquivo de som e espera o fim ou uma tecla; com & não espera."},
    {"FALA", "[valores]", "Fala os valores juntos sem escrevê-los; sozinho, cala a fala."},
    {"MCI", "v comando", "Manda um comando de som (open, play, status, stop, close) e põe a resposta em v.", true},
    {"L\xCA", "[#d|EDITA|MUDO|SENHA|TECLA|CONSOLE|MOUSE] v [&]", "Lê uma linha digitada (ou do canal #d) para v; com & uma tecla só.", true},
    {"LE", "[#d|EDITA|MUDO|SENHA|TECLA|CONSOLE|MOUSE] v [&]", "Lê uma linha digitada (ou do canal #d) para v; com & uma tecla só.", true},
    {"CHECA", "v", "v recebe a situação do último LE ou ESCREVE (0: deu certo).", true},
    {"REMOVE", "nome [&]", "Apaga o arquivo; com & uma falha é deixada de lado."},
    {"RENOMEIA", "antigo novo [&]", "Muda o nome do arquivo."},
    {"REPLICA", "origem cópia [&]", "Copia o arquivo."},
    {"CMD", "valor", "Roda o valor como uma linha do script."},
    {"ESPERA", "[MS] tempo", "Pausa o script por segundos (ou milissegundos, com MS)."},
    {"ENVIACMD", "valor", "Manda o valor e um fim de linha à entrada do programa de console."},
    {"DIGITA", "texto [&]", "Digita o texto na janela da frente e tecla Enter (com &, sem o Enter)."},
    {"ACIONA", "tecla", "Aperta uma tecla ou combinação (CTRL+, SHIFT+, ALT+) e espera 100 ms."},
    {"CLICA", "[DUPLO|NULO] x y", "Clica o botão esquerdo em x, y da janela da frente; DUPLO clica duas vezes, NULO só move."},
    {"CAPTURA", "TITULO|FOCO|CAMPO v", "v recebe o título da janela da frente, o do console em foco ou o campo que tem o foco.", true},
    {"TRANSFERE", "DE|PARA v", "DE põe o texto de v na área de transferência; PARA lê a área para v."},
    {"JANELA", "ação padrão", "Age na primeira janela cujo título casa com o padrão: FECHA, NORMAL, MAXIMIZA, MINIMIZA."},
    {"DESVIA", "@rótulo", "Continua na linha do rótulo."},
    {"SE", "condição [comando]", "Roda o bloco até SENÃO ou FIM SE (ou o comando da mesma linha) quando a condição vale."},
    {"SENAO", "", "Começa a parte do bloco SE que roda quando a condição não vale."},
    {"SEN\xC3O", "", "Começa a parte do bloco SE que roda quando a condição não vale."},
    {"ENQUANTO", "condição", "Repete o bloco até FIM ENQUANTO enquanto a condição vale."},
    {"REPETE", "v vezes", "Repete o bloco até FIM REPETE tantas vezes, contando 1, 2, ... em v.", true},
    {"FIM", "SE|ENQUANTO|REPETE", "Fecha o bloco SE, ENQUANTO ou REPETE."},
    {"EXECUTA", "comando [&|&&|&&&]", "Roda um programa; & segue sem esperar, && escondido, &&& com entrada e saída no script."},
    {"EXISTEPROG", "nome v [c]", "v recebe 1 quando roda um programa com esse nome, senão 0; c o código de saída.", true},
    {"ALARME", "frequência ms", "Toca um tom da frequência (0 a 20000 Hz) por tantos milissegundos."},
    {"GRAVABYTES", "", "Grava o buffer no arquivo binário e o esvazia."},
    {"ESCREVEBYTE", "valor", "Junta os bytes do valor ao buffer."},
    {"LEBYTE", "nome primeiro último", "Junta ao buffer os bytes do arquivo da posição primeiro até antes de último."},
    {"LIMPABYTES", "", "Esvazia o buffer sem gravá-lo."},
    {"FECHABIN", "", "Fecha o arquivo binário."},
    {"CRIABIN", "nome", "Cria o arquivo binário, que ainda não pode existir."},
    {"TAMARQ", "nome v", "v recebe o tamanho do arquivo em bytes."},
    {"HTAMARQ", "nome v", "v recebe o tamanho do arquivo para pessoas (1,50KB)."},
    {"DIR", "CRIA|REMOVE|TROCA caminho", "Cria, remove ou muda para a pasta."},
    {"BUSCA", "v [DIR] padrão|PROXIMO|FIM", "v recebe o primeiro arquivo que casa com o padrão; PROXIMO dá o seguinte, FIM encerra.", true},
    {"TERMINA", "[MUDO] [código]", "Encerra o script (MUDO: sem dizer \"Fim do script\"); o código de saída vai de 0 a 255."},
    {"CHAMA", "@rótulo", "Continua no rótulo e volta à linha seguinte no RETORNA."},
    {"RETORNA", "", "Volta à linha depois do último CHAMA."},
    {"RANDOMIZA", "", "Começa pelo relógio a série de números de RAND."},
    {"IP", "LOCAL|REMOTO #d v", "v recebe o endereço deste lado ou do outro lado da conexão.", true},
    {"MSAA", "ação [v]", "Segue o foco de outros programas: MONITORA, CHECA v, CAPTURA x y, NOME v, TIPO v, CODIGO v, ESTADO v, VALOR v, AREA x y l a, FIM."},
    {"MENU", "ação [valores]", "Menus: CRIA x1 y1 x2 y2, ADICIONA valor, EXECUTA pos tecla texto, TERMINA."},
    {"IMAGEM", "[arquivo x y]", "Mostra a figura (.bmp, .jpg) com o canto em x, y; sozinho, tira a figura."},
    {"SENSOR", "v", "v recebe o número do menor interruptor fechado na porta paralela (0: nenhum).", true},
    {"ANSIPARAUTF8", "v", "Converte o texto de v de Latin-1 para UTF-8.", true},
    {"UTF8PARAANSI", "v", "Converte o texto de v de UTF-8 para Latin-1.", true},
    {"HTTP", "v", "Codifica v para um endereço da web (%XX).", true},
    {"TRAZDAREDE", "endereço arquivo tique agente cookie v", "Baixa o endereço para o arquivo; v recebe 0 quando deu certo, 1 quando falhou."},
    {"HANDLE", "v", "v recebe o número da janela do console.", true},
    {"MENSAGEM", "arquivo", "Toca um arquivo de som e espera o fim ou uma tecla."},
    {"CODBASE64", "v", "Codifica v em Base64.", true},
    {"REMOVEQUOTED", "v", "Desfaz em v a codificação =XX.", true},
    {"ADQUOTED", "v", "Codifica em v os bytes de controle, o = e os bytes de 127 para cima como =XX.", true},
    {"CODARQBASE64", "arquivo texto", "Grava o arquivo como texto Base64, 64 caracteres por linha."},
    {"DECODARQBASE64", "texto arquivo", "Grava o arquivo que o texto Base64 contém."},
    {"DECODBASE64", "v", "Decodifica v de Base64.", true},
    {"ENCERRAPROG", "nome", "Encerra os programas com esse nome que o script iniciou."},
};

const int kCommandHelpCount = static_cast<int>(sizeof kCommandHelp / sizeof kCommandHelp[0]);

const CommandHelp* FindCommandHelp(std::string_view upper_word) {
  for (const CommandHelp& help : kCommandHelp)
    if (help.word == upper_word) return &help;
  return nullptr;
}

std::vector<std::string_view> HelpParameters(const CommandHelp& help) {
  std::vector<std::string_view> out;
  std::string_view rest = help.operands;
  while (!rest.empty()) {
    size_t blank = rest.find(' ');
    out.push_back(rest.substr(0, blank));
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
  }
  return out;
}

}  // namespace kal
