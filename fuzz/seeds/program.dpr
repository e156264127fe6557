@program Demo;

uses
  Utils in 'Utils.pas',
  Forms,
  MainForm in 'MainForm.pas' {FrmMain};

{$R *.res}

begin
  Application.Run;
end.
