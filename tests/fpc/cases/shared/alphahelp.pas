{$mode objfpc}{$H+}
{$modeswitch typehelpers}
unit AlphaHelp;

interface

type
  TAlphaHelpHelper = type helper for Integer
    function Describe: string;
  end;

implementation

function TAlphaHelpHelper.Describe: string;
begin
  Describe := 'AlphaHelp';
end;

end.
