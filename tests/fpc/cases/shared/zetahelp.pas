{$mode objfpc}{$H+}
{$modeswitch typehelpers}
unit ZetaHelp;

interface

type
  TZetaHelpHelper = type helper for string
    function Describe: string;
  end;

implementation

function TZetaHelpHelper.Describe: string;
begin
  Describe := 'ZetaHelp';
end;

end.
